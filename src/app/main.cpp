#include "app/mdiform1.h"
#include "platform/qt_platform.h"
#include "tools/grid_run.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mapquill"));
    QApplication::setOrganizationName(QStringLiteral("Mapquill"));
    // Folders of gridding runs that ended without clearing up (the program
    // was ended during a run); a run still going keeps its folder.
    mq::tools::remove_stale_grid_runs();
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
