#include "StyleSheet.h"

// The tab strip is addressed by class name (MyTab) and by the dynamic property "type" of its
// parts; the images come from the compiled-in resource bundle. Some colour functions carry an
// unusual number of arguments (rgb with four, rgba with three). Qt's parser warns about them on
// standard error each time it reads the sheet but still takes the colour from the first three
// numbers and any alpha given, which is the intended look; they stay as they are.
//
// One rule per line, as the sheet is read and reviewed; the formatter would cut the lines into
// string fragments.
// clang-format off
const char applicationStyleSheetText[] =
R"sheet(QPushButton[type = "max"]{border-top:1px solid rgb(212,220,229);border-bottom:1px solid rgb(212,220,229);background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(245,249,253,255),stop: 0.5 rgb(235,241,248,255), stop:1 rgb(226,234,243,255));image:url(:/BrelvaneQtDemo/Resources/maxmum_normal.png);}
QPushButton[type = "max"]:hover{image:url(:/BrelvaneQtDemo/Resources/maxmum_hover.png);}
QPushButton[type = "max"]:pressed{image:url(:/BrelvaneQtDemo/Resources/maxmum_pressed.png);}
QPushButton[type = "min"]{border-top:1px solid rgb(212,220,229);border-bottom:1px solid rgb(212,220,229);background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(245,249,253,255),stop: 0.5 rgb(235,241,248,255), stop:1 rgb(226,234,243,255));image:url(:/BrelvaneQtDemo/Resources/maxmum_normal.png);}
QPushButton[type = "min"]:hover{image:url(:/BrelvaneQtDemo/Resources/maxmum_hover.png);}
QPushButton[type = "min"]:pressed{image:url(:/BrelvaneQtDemo/Resources/maxmum_pressed.png);}
QWidget[type = "backwidget"]{border:1px solid rgb(212,220,229);padding:20px;}
QLabel[type = "title_empty"]{border-top:1px solid rgb(212,220,229);border-bottom:1px solid rgb(212,220,229);background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(245,249,253,255),stop: 0.5 rgb(235,241,248,255), stop:1 rgb(226,234,243,255));}
MyTab{border:1px solid qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(76,172,238,255), stop:1 rgba(26,113,217));border-radius:1px;padding-right:25px;font: bold 11pt "微软雅黑";color:rgb(55,131,235);background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(245,249,253,255),stop: 0.5 rgb(235,241,248,255), stop:1 rgb(226,234,243,255));}
MyTab:checked{border-radius:2px;font: bold 11pt "微软雅黑";color:white;background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(109,200,251,255),stop: 0.05 rgb(109,200,251,255), stop: 0.06 rgb(77,173,238), stop:1 rgba(48,128,225));}
MyTab>QPushButton{height:25px;width:25px;border:1px;border-image:url(:/BrelvaneQtDemo/Resources/cross_normal.png);}
MyTab>QPushButton:hover{border:1px;padding:15px;border-image:url(:/BrelvaneQtDemo/Resources/cross_hover.png);}
MyTab>QPushButton:pressed{border:1px;padding:15px;border-image:url(:/BrelvaneQtDemo/Resources/cross_pressed.png);}
QTreeWidget{border:1px solid rgb(212,220,229);}
QWidget[type="content"]{border:0;}
)sheet";
// clang-format on

QString applicationStyleSheet()
{
    return QString::fromUtf8(applicationStyleSheetText);
}
