// A large highlighted script: how long opening takes and how many keys per
// second typing in its middle manages, with the highlighting on or off.
//   editor_highlighting [--bare] [--off] [--bytes N] [--keys N]
// --off opens it with Edit > Syntax highlighting switched off; --bare puts
// the same text into a plain QPlainTextEdit, for comparison.
// Prints one line: "open_seconds=... keys_per_second=...".
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
#include <memory>

namespace {

void pump(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    bool bare = false, off = false;
    long long bytes = 20LL << 20;
    int keys = 200;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--bare")) bare = true;
        else if (args[i] == QLatin1String("--off")) off = true;
        else if (args[i] == QLatin1String("--bytes") && i + 1 < args.size()) bytes = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--keys") && i + 1 < args.size()) keys = args[++i].toInt();
    }

    // Lines as the templates write them.
    static const char* const lines[] = {
        "REM ---------- shaded relief of %grd_file% ----------\r\n",
        "echo grdgradient %grd_file%.grd -A330 -Gillu.grad\r\n",
        "grdgradient %grd_file%.grd -A330 -Gillu.grad  -Ne0.6 -M -V\r\n",
        "grdimage %grd_file%.grd %region% %scale% -Iillu.grad -Crelief.cpt -K -V > %ps_file%.ps\r\n",
        "for %%i in (*.xyz) do blockmean %%i %region% -I0.5m > \"C:\\data -R\\%%~ni.bm\"\r\n",
        "set border=-B1g1:.\"Survey area\":WeSn\r\n",
    };
    QByteArray text;
    text.reserve(bytes + 200);
    for (size_t i = 0; text.size() < bytes; ++i) text.append(lines[i % std::size(lines)]);

    QTemporaryDir dir;
    mq::platform::QtPlatform platform(dir.filePath(QStringLiteral("settings.ini")));
    if (off) platform.services().settings->set(QStringLiteral("Text"), QStringLiteral("Syntax_Highlighting"), QStringLiteral("0"));
    std::unique_ptr<mq::app::MDIForm1> main;
    std::unique_ptr<QPlainTextEdit> plain;
    QPlainTextEdit* edit = nullptr;
    QElapsedTimer opening;
    opening.start();
    if (bare) {
        plain = std::make_unique<QPlainTextEdit>();
        plain->setLineWrapMode(QPlainTextEdit::NoWrap);
        plain->resize(1000, 700);
        plain->setPlainText(QString::fromLatin1(text));
        plain->show();
        edit = plain.get();
    } else {
        const QString file = dir.filePath(QStringLiteral("large.bat"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size()) return 1;
        out.close();
        main = std::make_unique<mq::app::MDIForm1>(platform.services());
        main->show();
        main->openFiles({file});
        if (!main->activeEditor()) return 1;
        edit = main->activeEditor()->Text1;
    }
    // Opening ends when the first colouring, which runs from the event loop, is done.
    QApplication::processEvents();
    QApplication::processEvents();
    const double openSeconds = opening.nsecsElapsed() / 1e9;

    edit->setFocus();
    QTextCursor middle = edit->textCursor();
    middle.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(middle);
    pump(300);

    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i) {
        // Typing a quote changes how the rest of the line is coloured.
        const QString key = (i % 10 == 0) ? QStringLiteral("\"") : QStringLiteral("x");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, key);
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, key);
        QApplication::sendEvent(edit, &release);
        QApplication::processEvents();
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("open_seconds=%.2f keys_per_second=%.1f\n", openSeconds, keys / seconds);
    if (main) {
        main->activeEditor()->setModified(false);
        main->close();
    }
    return 0;
}
