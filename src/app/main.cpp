#include "app/mdiform1.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mapquill"));
    QApplication::setOrganizationName(QStringLiteral("Mapquill"));
    mq::platform::QtPlatform platform;
    mq::app::MDIForm1 main(platform.services());
    platform.setParentWidget(&main);
    main.show();
    // Files named on the command line open as Open File opens them, once
    // the main window is up.
    const QStringList files = app.arguments().mid(1);
    QTimer::singleShot(0, &main, [&main, files] { main.openFiles(files); });
    return app.exec();
}
