// Typing into a script that is one long line: keys per second, and how busy
// an idle editor keeps the processor (the caret keeps blinking).
//   editor_long_line [--bare] [--bytes N] [--keys N] [--idle SECONDS]
// --bare measures a plain QPlainTextEdit with the same text, for comparison.
// Prints one line: "keys_per_second=... idle_cpu_percent=...".
#include "app/frmeditor.h"
#include "app/mdiform1.h"
#include "platform/qt_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

// Lets the program run idle (timers, the caret blink, paints) for a while.
void pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds() { return double(std::clock()) / CLOCKS_PER_SEC; }

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bool bare = false;
    long long bytes = 1 << 20;
    int keys = 50;
    int idleSeconds = 3;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--bare")) bare = true;
        else if (args[i] == QLatin1String("--bytes") && i + 1 < args.size()) bytes = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--keys") && i + 1 < args.size()) keys = args[++i].toInt();
        else if (args[i] == QLatin1String("--idle") && i + 1 < args.size()) idleSeconds = args[++i].toInt();
    }

    // One line of GMT-like words, no line end.
    QByteArray line;
    line.reserve(bytes);
    static const char words[] = "gmt psxy -R0/10/0/10 -JX15c -W0.5p,black -O -K >> map.ps ";
    while (line.size() < bytes) line.append(words, qsizetype(sizeof(words) - 1));
    line.truncate(bytes);

    QTemporaryDir dir;
    mq::platform::QtPlatform platform(dir.filePath(QStringLiteral("settings.ini")));
    std::unique_ptr<mq::app::MDIForm1> main;
    std::unique_ptr<QPlainTextEdit> plain;
    QWidget* target = nullptr;
    if (bare) {
        plain = std::make_unique<QPlainTextEdit>();
        plain->setLineWrapMode(QPlainTextEdit::NoWrap);
        plain->resize(1000, 700);
        plain->setPlainText(QString::fromLatin1(line));
        plain->show();
        target = plain.get();
    } else {
        const QString file = dir.filePath(QStringLiteral("long.bat"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(line) != line.size()) return 1;
        out.close();
        main = std::make_unique<mq::app::MDIForm1>(platform.services());
        main->show();
        main->open_file_function(file);
        if (!main->activeEditor()) return 1;
        target = main->activeEditor()->Text1;
    }
    target->setFocus();
    auto* edit = static_cast<QPlainTextEdit*>(target);
    QTextCursor middle = edit->textCursor();
    middle.setPosition(int(line.size() / 2));
    edit->setTextCursor(middle);
    pump(500);

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();   // the repaint a user would wait for
    }
    const double seconds = timer.nsecsElapsed() / 1e9;

    const double cpuBefore = cpuSeconds();
    pump(idleSeconds * 1000);
    const double idleCpu = (cpuSeconds() - cpuBefore) / idleSeconds * 100.0;

    std::printf("keys_per_second=%.1f idle_cpu_percent=%.1f\n", keys / seconds, idleCpu);
    if (main) {
        main->activeEditor()->setModified(false);
        main->close();
    }
    return 0;
}
