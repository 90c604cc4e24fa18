// The desktop services that can be checked without a person: filter lists,
// the real file and font dialogs driven by a timer, the settings store and
// printing.
#include "platform/qt_platform.h"
#include "platform/test_files.h"
#include "common/golden_rows.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <optional>
#include <stdexcept>
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// The rows of `kind` in data/platform.txt.
std::vector<QStringList> rows(const char* kind)
{
    static const std::string table =
        mq::testing::read_file(QStringLiteral(MQ_TEST_DATA_DIR "/data/platform.txt")).toStdString();
    std::vector<QStringList> out;
    for (const auto& fields : mq::testing::golden_rows(table.c_str(), kind)) {
        out.emplace_back();
        for (const std::string& f : fields)
            out.back() << (f == "none" ? QString() : QString::fromStdString(f).replace("\\r", "\r"))
                              .replace("\\n", "\n");
    }
    return out;
}

// Once the dialog is up: `act` on it, then close whatever is still open
// (the dialog's own "not found" box, the dialog itself).
void whenShown(const std::function<void(QDialog*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto* closer = new QTimer(dialog);
        QObject::connect(closer, &QTimer::timeout, [] {
            QWidget* top = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(top)) box->accept();
            else if (auto* open = qobject_cast<QDialog*>(top)) open->reject();
        });
        closer->start(20);
        act(dialog);
    });
}

// The file types of `filter`, the first one selected, in the folder `dir`.
void prepare(mq::platform::QtCommonDialog& common, const QString& filter, const QString& defaultExt,
             const QString& dir)
{
    auto& s = common.state();
    std::tie(s.filter, s.filterIndex, s.defaultExt, s.initDir) = std::tuple(filter, 1, defaultExt, dir);
}

// Types the name into the dialog's name box and accepts.
void typeName(QDialog* dialog, const QString& name)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
    dialog->accept();
}

}  // namespace

using namespace mq::platform;
using mq::testing::write_file;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void filterListsBecomeNameFilters()
    {
        for (const QStringList& r : rows("filter")) QCOMPARE(nameFiltersFromFilterList(r[0]), r.mid(1));
    }

    void openResolvesTypedNamesAndShowsAllFiles()
    {
        QTemporaryDir dir;
        for (const char* name : {"ls", "Makefile", "run.bat", "notes.txt"})
            write_file(dir.filePath(QLatin1String(name)), {});
        for (const QStringList& r : rows("open")) {
            const QString &typed = r[0], &defaultExt = r[1], &chosen = r[2];
            QtCommonDialog common;
            prepare(common, "All Files (*.*)|*.*|Batch Files (*.bat)|*.bat", defaultExt, dir.path());
            QStringList shown, patterns;   // the types offered, and what "All Files (*.*)" shows
            whenShown([&](QDialog* dialog) {
                const auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
                patterns = dialog->findChild<QFileSystemModel*>()->nameFilters();
                typeName(dialog, typed);
            });
            const bool accepted = common.showOpen();
            QCOMPARE(shown, (QStringList{"All Files (*.*)", "Batch Files (*.bat)"}));
            QCOMPARE(patterns, QStringList{"*"});   // also files without a dot
            QCOMPARE(accepted, !chosen.isEmpty());
            if (accepted) QCOMPARE(common.state().fileName, QDir::toNativeSeparators(dir.filePath(chosen)));
        }
    }

    void saveGivesTypedNamesTheTypesExtension()
    {
        for (const QStringList& r : rows("save")) {
            const int chosenType = r[0].toInt();
            const QString &defaultExt = r[1], &typed = r[2], &saved = r[3];
            QTemporaryDir dir;
            QtCommonDialog common;
            prepare(common, "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
                            "xy* ASCII (*.xy*)|*.xy*", defaultExt, dir.path());
            whenShown([&](QDialog* dialog) {
                auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                types->setCurrentIndex(chosenType - 1);
                QTest::keyClick(types, Qt::Key_Home);
                for (int i = 1; i < chosenType; ++i) QTest::keyClick(types, Qt::Key_Down);
                typeName(dialog, typed);
            });
            QVERIFY(common.showSave());
            QCOMPARE(common.state().fileName, QDir::toNativeSeparators(dir.filePath(saved)));
            QCOMPARE(common.state().filterIndex, chosenType);
        }
    }

    void fontSizeKeepsItsFraction()
    {
        for (const QStringList& r : rows("font")) {
            const QString& keys = r[0];
            QtCommonDialog common;
            common.state().fontSize = 9;
            whenShown([&](QDialog* dialog) {
                QLineEdit* sizeBox = nullptr;
                for (QLineEdit* box : dialog->findChildren<QLineEdit*>())
                    if (box->text() == QLatin1String("9")) sizeBox = box;
                QVERIFY(sizeBox);
                sizeBox->clear();
                QTest::keyClicks(sizeBox, keys);
                dialog->accept();
            });
            QVERIFY(common.showFont());
            QCOMPARE(common.state().fontSize, r[1].toDouble());
        }
    }

    void messageBoxesShowTheirWholeText()
    {
        for (const QStringList& r : rows("message")) {
            const QString& text = r[0];
            QtMessageBoxes boxes;
            int width = -1, needed = 0;   // of the text label: what it has and what its text needs
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                    // Unwrapped, the label needs its whole width; wrapped, its whole height.
                    width = label->wordWrap() ? label->height() : label->width();
                    needed = label->wordWrap() ? label->heightForWidth(label->width())
                                               : label->sizeHint().width();
                }
                box->accept();
            });
            boxes.show(text, MessageButtons::Ok, MessageIcon::Question, QStringLiteral("Error"));
            QVERIFY2(width >= needed, qPrintable(QString("%1 < %2").arg(width).arg(needed)));
        }
    }

    void settingsRoundTrip()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("settings.ini"));
        const QList<QStringList> values = {{"Files", "1_1", "C:\\maps\\run.bat"},
                                           {"GMT html path", "Path", "/usr/share/gmt/html"},
                                           {"Text", "Font_Size", "10.5"}};
        {
            QtSettingsStore store(ini);
            QCOMPARE(store.get(QStringLiteral("Files"), QStringLiteral("1_1")), QString());
            for (const QStringList& v : values) store.set(v[0], v[1], v[2]);
        }
        QtSettingsStore reopened(ini);
        for (const QStringList& v : values) QCOMPARE(reopened.get(v[0], v[1]), v[2]);
        QCOMPARE(reopened.get(QStringLiteral("Text"), QStringLiteral("Font_Name")), QString());
    }

    void terminalCandidatesStartWithTheUsersChoice()
    {
        qputenv("TERMINAL", "my-terminal");
        QCOMPARE(QtPrograms::terminalCandidates().mid(0, 2).join(' '), "my-terminal x-terminal-emulator");
        qunsetenv("TERMINAL");
        QCOMPARE(QtPrograms::terminalCandidates().value(0), QStringLiteral("x-terminal-emulator"));
    }

    void capturedProgramsHandOverAllTheyWrote()
    {
        QtPrograms programs;
        std::vector<ProgramOutput> outs;
        const auto keep = [&outs](const ProgramOutput& o) { outs.push_back(o); };
#ifndef Q_OS_WIN
        programs.capture("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"}, keep);
        QTRY_COMPARE(outs.size(), 1u);
        QVERIFY(outs[0].started && outs[0].exitCode == 3);
        QCOMPARE(outs[0].output, "out\nerr\n");
#endif
        const std::size_t before = outs.size();
        programs.capture("no such program here", {}, keep);
        QCOMPARE(outs.size(), before);   // never from within the call
        QTRY_COMPARE(outs.size(), before + 1);
        QVERIFY(!outs.back().started);
    }

    void programsStartInTheirFolderAndReportTheirEnd()
    {
        // The gridding batch starts unwatched (no end reported): in the given folder, minimised and
        // without the focus on Windows. A watched program reports its exit code and last error line.
        using Watch = std::function<void(const ProgramEnd&)>;
        QtPrograms programs;
        QTemporaryDir dir;
#ifdef Q_OS_WIN
        const QStringList shell{"cmd.exe", "/c"};
        const std::pair<QString, std::optional<ProgramEnd>> rows[] = {{"echo started> started.txt", {}}};
#else
        const QStringList shell{"/bin/sh", "-c"};
        const std::pair<QString, std::optional<ProgramEnd>> rows[] = {   // script, its end (none: unwatched)
            {"echo started > started.txt", {}},
            {"echo said; echo 'first' >&2; echo '  the reason  ' >&2; echo >&2; exit 3", {{3, "the reason"}}},
            {"pwd > here.txt", {{0, ""}}}, {"kill -9 $$", {{-1, ""}}},
        };
#endif
        for (const auto& [script, expected] : rows) {
            std::optional<ProgramEnd> end;
            Watch watch;
            if (expected) watch = [&end](const ProgramEnd& e) { end = e; };
            QVERIFY(programs.start(shell[0], {shell[1], script}, dir.path(), true, watch));
            if (!expected) continue;
            QTRY_VERIFY(end.has_value());
            QCOMPARE(end->exitCode, expected->exitCode);
            QCOMPARE(end->lastError, expected->lastError);
        }
        const QString started = dir.filePath("started.txt");
        QTRY_VERIFY_WITH_TIMEOUT(mq::testing::read_file(started).startsWith("started"), 20000);
#ifndef Q_OS_WIN
        QVERIFY(QFile::exists(dir.filePath("here.txt")));
#endif
        for (const Watch& watch : {Watch(), Watch([](const ProgramEnd&) {})})
            QVERIFY(!programs.start(dir.filePath("no such program"), {}, dir.path(), true, watch));
        QTRY_VERIFY_WITH_TIMEOUT(dir.remove(), 10000);   // once the programs have left their folder
    }

    void watchedProgramsStreamAndStopWithAllTheyStarted()
    {
        // Output arrives by stream, in the program's folder and environment;
        // Stop leaves no process of the run behind.
        QtProcesses processes;
        QTemporaryDir dir;
#ifdef Q_OS_WIN
        const QString program = "cmd.exe";
        const QStringList quick{"/d", "/c", "cd & echo %MQ_WORD% & echo oops 1>&2 & exit 4"};
        const QStringList slow{"/d", "/c", "echo ready & ping -n 300 127.0.0.1 >nul"};
#else
        const QString program = "/bin/sh";
        const QStringList quick{"-c", "pwd; echo $MQ_WORD; echo oops >&2; exit 4"};
        const QStringList slow{"-c", "sleep 300 & sleep 300 & echo ready $$; wait"};
#endif
        QByteArray out, err;
        std::optional<int> code;
        const auto collect = [&](ProcessStream stream, const QByteArray& piece) {
            (stream == ProcessStream::out ? out : err) += piece;
        };
        const auto ended = [&](int c) { code = c; };
        auto run = processes.run(program, quick, dir.path(), {"MQ_WORD=hello"}, collect, ended);
        QVERIFY(run);
        QTRY_VERIFY(code.has_value());
        QCOMPARE(*code, 4);
        QCOMPARE(out.simplified(), QDir::toNativeSeparators(dir.path()).toLocal8Bit() + " hello");
        QCOMPARE(err.trimmed(), QByteArray("oops"));
        QVERIFY(!processes.run(dir.filePath("no such program"), {}, dir.path(), {}, collect, [](int) {}));

        out.clear();
        code.reset();
        run = processes.run(program, slow, dir.path(), {}, collect, ended);
        QTRY_VERIFY(out.contains("ready"));
        QVERIFY(run->running());
        run->stop();
        QTRY_VERIFY(code.has_value());
        QCOMPARE(*code, -1);
#ifndef Q_OS_WIN
        // No process is left in the run's session (the shell's $$ leads it).
        const QByteArray session = out.simplified().split(' ').value(1);
        const auto inSession = [&session] {
            int count = 0;
            for (const QString& pid : QDir("/proc").entryList(QDir::Dirs)) {
                const QByteArray stat = mq::testing::read_file("/proc/" + pid + "/stat");
                const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
                if (fields.value(3) == session) ++count;   // state ppid pgrp session
            }
            return count;
        };
        QVERIFY(!session.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(inSession(), 0, 5000);
#endif
    }

    void oneCxxRuntimeAcrossQt()
    {
        // The program and the Qt DLLs share one C++ runtime: an exception thrown in code that Qt calls
        // is caught on this side, and standard strings made here are copied and freed inside Qt.
#ifdef Q_OS_WIN
        QVERIFY(GetModuleHandleW(L"libstdc++-6.dll"));
#endif
        QObject sender;
        const std::string text(300, 'x');
        QObject::connect(&sender, &QObject::objectNameChanged,
                         [&text] { throw std::runtime_error(text + "\u00fc"); });
        try {
            sender.setObjectName(QStringLiteral("named"));   // QtCore emits the signal
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QCOMPARE(QString::fromStdString(e.what()), QString(300, 'x') + QChar(0xFC));
        }
        QVariantList list{QVariant::fromValue(text + "\u00e9")};
        const QVariantList copy = list;   // copied by QtCore
        list.clear();
        QCOMPARE(copy.at(0).value<std::string>(), text + "\u00e9");
    }

    void printsIntoAPdf()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("script.pdf")));
        QVERIFY(printPlainText(printer, QStringLiteral("echo off\ngmtset PAPER_MEDIA = a4\n")));
        QFile pdf(printer.outputFileName());
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.size() > 500);
        QCOMPARE(pdf.read(4), QByteArray("%PDF"));
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
