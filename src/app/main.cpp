#include "driverregistration.h"
#include "loghandler.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // After the application object, which sets up the process locale the codec is taken from.
    ensureCyrillicLocaleCodec();
    LogHandlerScope logHandlerScope;
    logStartBanner();

    registerDriverComponent();
    MainWindow window;
    window.show();
    return application.exec();
}
