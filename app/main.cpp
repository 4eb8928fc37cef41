#include "BrelvaneQtDemo.h"
#include "QuitOnSignal.h"
#include "UiLanguage.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    int result = 0;
    {
        QApplication application(argc, argv);
        // Before the first widget: every text is translated as it is set.
        UiLanguage::install(application);
        BrelvaneQtDemo window;
        window.show();
        // SIGTERM or SIGINT ends the event loop as closing the window does.
        QuitOnSignal quitOnSignal;
        result = application.exec();
    }
    return result;
}
