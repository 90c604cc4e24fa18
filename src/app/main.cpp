#include "app/mdiform1.h"
#include "common/file_stream.h"
#include "platform/qt_platform.h"
#include "tools/grid_run.h"

#include <QApplication>
#include <QTimer>

#include <csignal>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // A run in a tool window ended by a signal (logging out, a closed
    // terminal) leaves no half-written hidden file beside its output.
    mq::io::remove_unfinished_outputs_on_signals();
#ifndef _WIN32
    // A broken pipe is no reason to end a window program (Qt would ignore it
    // the first time it writes to one).
    std::signal(SIGPIPE, SIG_IGN);
#endif
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
