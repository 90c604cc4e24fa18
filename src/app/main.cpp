#include "app/mdiform1.h"
#include "common/file_stream.h"
#include "common/version.h"
#include "platform/qt_platform.h"
#include "tools/grid_run.h"

#include <QApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // "mapquill --version" answers before Qt starts, so it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::fputs("mapquill " MAPQUILL_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
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
    QApplication::setApplicationVersion(QStringLiteral(MAPQUILL_VERSION));
    // Ties the windows to the installed .desktop file (its name and icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.mapquill.Mapquill"));
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
