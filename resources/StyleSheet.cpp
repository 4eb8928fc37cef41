#include "StyleSheet.h"

// The tab strip is addressed by class name (MyTab) and by the dynamic property "type" of its
// parts; the images come from the compiled-in resource bundle. Some colour functions carry an
// unusual number of arguments (rgb with four, rgba with three). Qt's parser warns about them on
// standard error each time it reads the sheet but still takes the colour from the first three
// numbers and any alpha given, which is the intended look; they stay as they are.
#define BRELVANE_BACK_GRADIENT                                                                     \
    "qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, stop:0 rgba(245,249,253,255),"            \
    "stop: 0.5 rgb(235,241,248,255), stop:1 rgb(226,234,243,255))"

#define BRELVANE_ICON(file) "url(:/BrelvaneQtDemo/Resources/" file ")"

const char applicationStyleSheetText[] =
    "QPushButton[type = \"max\"]{border-top:1px solid rgb(212,220,229);"
    "border-bottom:1px solid rgb(212,220,229);"
    "background:" BRELVANE_BACK_GRADIENT ";"
    "image:" BRELVANE_ICON(
        "maxmum_normal.png") ";}\n"
                             "QPushButton[type = \"max\"]:hover{image:" BRELVANE_ICON(
                                 "maxmum_hover.png") ";}\n"
                                                     "QPushButton[type = "
                                                     "\"max\"]:pressed{image:" BRELVANE_ICON(
                                                         "maxmum_pressed.png") ";}\n"
                                                                               "QPushButton[type = "
                                                                               "\"min\"]{border-"
                                                                               "top:1px solid "
                                                                               "rgb(212,220,229);"
                                                                               "border-bottom:1px "
                                                                               "solid "
                                                                               "rgb(212,220,229);"
                                                                               "background"
                                                                               ":" BRELVANE_BACK_GRADIENT
                                                                               ";"
                                                                               "image"
                                                                               ":" BRELVANE_ICON(
                                                                                   "maxmum_normal."
                                                                                   "png") ";}\n"
                                                                                          "QPushBut"
                                                                                          "ton["
                                                                                          "type = "
                                                                                          "\"min\"]"
                                                                                          ":hover{"
                                                                                          "image"
                                                                                          ":" BRELVANE_ICON(
                                                                                              "maxm"
                                                                                              "um_"
                                                                                              "hove"
                                                                                              "r."
                                                                                              "png") ";}\n"
                                                                                                     "QPushButton[type = \"min\"]:pressed{image:" BRELVANE_ICON(
                                                                                                         "maxmum_pressed.png") ";}\n"
                                                                                                                               "QWidget[type = \"backwidget\"]{border:1px solid rgb(212,220,229);padding:20px;}\n"
                                                                                                                               "QLabel[type = \"title_empty\"]{border-top:1px solid rgb(212,220,229);"
                                                                                                                               "border-bottom:1px solid rgb(212,220,229);"
                                                                                                                               "background:" BRELVANE_BACK_GRADIENT
                                                                                                                               ";}\n"
                                                                                                                               "MyTab{border:1px solid qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, "
                                                                                                                               "stop:0 rgba(76,172,238,255), stop:1 rgba(26,113,217));"
                                                                                                                               "border-radius:1px;padding-right:25px;"
                                                                                                                               "font: bold 11pt \"微软雅黑\";color:rgb(55,131,235);"
                                                                                                                               "background:" BRELVANE_BACK_GRADIENT
                                                                                                                               ";}\n"
                                                                                                                               "MyTab:checked{border-radius:2px;font: bold 11pt \"微软雅黑\";color:white;"
                                                                                                                               "background:qlineargradient(spread:pad, x1:0, y1:0, x2:0, y2:1, "
                                                                                                                               "stop:0 rgba(109,200,251,255),stop: 0.05 rgb(109,200,251,255), "
                                                                                                                               "stop: 0.06 rgb(77,173,238), stop:1 rgba(48,128,225));}\n"
                                                                                                                               "MyTab>QPushButton{height:25px;width:25px;border:1px;"
                                                                                                                               "border-image:" BRELVANE_ICON(
                                                                                                                                   "cross_normal.png") ";}\n"
                                                                                                                                                       "MyTab>QPushButton:hover{border:1px;padding:15px;"
                                                                                                                                                       "border-image:" BRELVANE_ICON(
                                                                                                                                                           "cross_hover.png") ";}\n"
                                                                                                                                                                              "MyTab>QPushButton:pressed{border:1px;padding:15px;"
                                                                                                                                                                              "border-image:" BRELVANE_ICON(
                                                                                                                                                                                  "cross_pressed.png") ";}\n"
                                                                                                                                                                                                       "QTreeWidget{border:1px solid rgb(212,220,229);}\n"
                                                                                                                                                                                                       "QWidget[type=\"content\"]{border:0;}\n";

#undef BRELVANE_ICON
#undef BRELVANE_BACK_GRADIENT

QString applicationStyleSheet()
{
    return QString::fromUtf8(applicationStyleSheetText);
}
