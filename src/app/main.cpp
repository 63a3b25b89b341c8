#include "applicationicon.h"
#include "driverregistration.h"
#include "loghandler.h"
#include "mainwindow.h"
#include "startup.h"

#include <QApplication>
#include <QDebug>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // After the application object, which sets up the process locale the codec is taken from.
    ensureCyrillicLocaleCodec();
    LogHandlerScope logHandlerScope;
    logStartBanner();
    if (!installQtTranslations(application))
        qWarning() << "Qt's Russian translations not found in"
                   << QLibraryInfo::location(QLibraryInfo::TranslationsPath);
    QApplication::setWindowIcon(applicationIcon());
    // Lets a Wayland compositor find the menu entry, and with it the icon, of the window.
    QGuiApplication::setDesktopFileName(QStringLiteral("morvell"));

    registerDriverComponent();
    MainWindow window;
    window.show();
    return application.exec();
}
