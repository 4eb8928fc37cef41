#include "BrelvaneQtDemo.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    int result = 0;
    {
        QApplication application(argc, argv);
        BrelvaneQtDemo window;
        window.show();
        result = application.exec();
    }
    return result;
}
