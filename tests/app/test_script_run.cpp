// Run script and the "Output" dock: when Run is offered, saving first, what
// the dock shows of a run, and GMT's messages going to their lines; the GMT 6
// check listing its findings there and mending them in the editor.
#include "app_fixture.h"
#include "app/gmt_help_dock.h"
#include "app/map_dock.h"
#include "app/output_dock.h"
#include "app/script_run.h"
#include "platform/qt_platform.h"
#include "tools/gmt_changes.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

namespace {

// The messages of the dock as "<line> <text>".
QStringList messageLines(const app::OutputDock& dock)
{
    QStringList lines;
    for (const app::LinkedMessage& m : dock.messages())
        lines << QStringLiteral("%1 %2").arg(m.line).arg(QString::fromStdString(m.text));
    return lines;
}

// The messages of the dock as "<line>:<column> <kind> <text>".
QStringList placedMessages(const app::OutputDock& dock)
{
    QStringList lines;
    for (const app::LinkedMessage& m : dock.messages())
        lines << QStringLiteral("%1:%2 %3 %4")
                     .arg(m.line)
                     .arg(m.column)
                     .arg(m.kind == app::MessageKind::note ? "note" : "error")
                     .arg(QString::fromStdString(m.text));
    return lines;
}

int caretLine(app::frmEditor* editor) { return editor->Text1->textCursor().blockNumber() + 1; }

// Runs gmt in `folder`, its output going to `output` when named.
bool runGmt(const QString& folder, const QStringList& arguments, const QString& output = {})
{
    QProcess gmt;
    gmt.setWorkingDirectory(folder);
    if (!output.isEmpty()) gmt.setStandardOutputFile(QDir(folder).filePath(output));
    gmt.start(QStringLiteral("gmt"), arguments);
    return gmt.waitForFinished(60000) && gmt.exitStatus() == QProcess::NormalExit && gmt.exitCode() == 0;
}

bool hasSeveralColours(const QImage& image)
{
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixel(x, y) != image.pixel(0, 0)) return true;
    return false;
}

const QByteArray kScript = "echo start\n"
                           "gmt psbasemap -R0/10/0/10 -JX10c -Ba -Qx\n"
                           "gmt gmtinfo missing.xyz\n"
                           "echo done\n";

}  // namespace

class TestScriptRun : public QObject {
    Q_OBJECT
private slots:
    void gmtFolderIsTheChosenProgramsFolder()
    {
        // No gmt on PATH: the folder picked in the dialog is where GMT is found.
        AppFixture f;
        QDir(f.dir.path()).mkpath(QStringLiteral("gmt6/bin"));
#ifdef Q_OS_WIN
        const QString gmt = f.writeFile(QStringLiteral("gmt6/bin/gmt.exe"), "MZ");
#else
        const QString gmt = f.writeFile(QStringLiteral("gmt6/bin/gmt"), "#!/bin/sh\n");
#endif
        QFile::setPermissions(gmt, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(gmt));
        f.trigger(QStringLiteral("mn_gmt_folder"));
        QCOMPARE(f.platform.settings.values.value({QStringLiteral("GMT"), QStringLiteral("Folder")}),
                 f.path(QStringLiteral("gmt6/bin")));
        QVERIFY(f.main->outputDock()->outputText().contains(QStringLiteral("GMT: ") + gmt));
        // Cancel keeps the setting.
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger(QStringLiteral("mn_gmt_folder"));
        QCOMPARE(f.platform.settings.values.value({QStringLiteral("GMT"), QStringLiteral("Folder")}),
                 f.path(QStringLiteral("gmt6/bin")));
    }

    void f1ShowsTheModuleAtTheCaret()
    {
        // The caret's position in the line; "" when the dock stays hidden.
        const struct {
            const char* line;
            int caret;
            const char* shown;
        } cases[] = {
            {"psxy -R -J data.xy", 2, "psxy"},
            {"gmt grdimage %grd_file%.grd", 1, "grdimage"},
            {"gmt grdimage %grd_file%.grd", 7, "grdimage"},
            {"echo pscoast", 8, "pscoast"},
            {"   ", 1, ""},
        };
        for (const auto& c : cases) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor(QLatin1String(c.line));
            AppFixture::select(editor, c.caret, c.caret);
            f.trigger(QStringLiteral("mn_module_help"));
            QCOMPARE(f.main->gmtHelpDock()->isVisibleTo(f.main.get()), *c.shown != 0);
            if (*c.shown) QCOMPARE(f.main->gmtHelpDock()->module(), QLatin1String(c.shown));
        }
    }

    void gmt6CheckListsAndMendsInPlace()
    {
        // CR LF line ends, a TAB, %variables%, non-ASCII text before a place,
        // and a setting GMT 6 has no form for.
        const QByteArray original = "@echo off\r\nREM H\xc3\xb6hen \xc3\xbc" "ber NN\r\n"
                                    "gmtset PAPER_MEDIA a4\r\n"
                                    "gmt psxy \"\xc3\xb6rt.xy\" -R%region% -JX10c\t-H0 -O >> %ps_file%\r\n"
                                    "gmt gmtset N_COPIES 1\r\n";
        QByteArray h0 = original, mended = original;
        h0.replace("\t-H0", "\t-h0");
        mended.replace("\t-H0", "\t-h0").replace("gmtset PAPER_MEDIA", "gmt gmtset PS_MEDIA");
        const QString gmtset = QStringLiteral("3:1 note gmtset runs without \"gmt \" only where GMT's module "
                                              "links are installed; GMT 6: gmt gmtset");
        const QString paper = QStringLiteral("3:8 error GMT 4 parameter PAPER_MEDIA; GMT 6: PS_MEDIA");
        const QString option = QStringLiteral("4:37 error obsolete option -H0; GMT 6: -h0");
        const QString copies =
            QStringLiteral("5:12 error GMT 4 parameter N_COPIES; GMT 6 has none: remove it");
        struct Step {
            const char* command;   // a menu entry, "mend <row>" or "button"
            QByteArray text;       // the editor's afterwards
            QStringList listed;    // empty: the list is not looked at
            const char* summary;   // the output's last line; "" when not looked at
        };
        const Step steps[] = {
            {"mn_gmt6_check", original, {gmtset, paper, option, copies}, "4 places GMT 6 refuses"},
            {"mend 2", h0, {gmtset, paper, copies}, "3 places GMT 6 refuses"},
            {"mn_undo", original, {}, ""},
            // The list no longer fits the text: it is made anew, nothing mended.
            {"mend 0", original, {gmtset, paper, option, copies}, "4 places GMT 6 refuses"},
            {"button", mended, {copies}, "1 place GMT 6 refuses"},
            {"mn_undo", original, {}, ""},
            {"mn_gmt6_mend_all", mended, {copies}, ""},
        };
        AppFixture f;
        app::frmEditor* editor = f.open(QStringLiteral("old.bat"), original);
        app::OutputDock& dock = *f.main->outputDock();
        for (const Step& s : steps) {
            const QByteArray command(s.command);
            if (command.startsWith("mend ")) {
                QMenu* menu = dock.messageMenu(command.mid(5).toInt());
                QVERIFY(menu);
                menu->actions().first()->trigger();
            } else if (command == "button") {
                dock.mendAllButton()->click();
            } else {
                f.trigger(QLatin1String(s.command));
            }
            QCOMPARE(editor->text(), QString::fromUtf8(s.text));
            if (!s.listed.isEmpty()) QCOMPARE(placedMessages(dock), s.listed);
            if (*s.summary) QCOMPARE(dock.outputText().split('\n').last(), QLatin1String(s.summary));
        }
        QVERIFY(editor->caption().endsWith('*'));
        const std::string bytes = original.toStdString();
        QCOMPARE(editor->text().toUtf8().toStdString(), tools::gmt6_mend(bytes, tools::gmt6_check(bytes)));
        // What is left cannot be mended: no "Mend", no "Mend all".
        QVERIFY(!dock.messageMenu(0));
        QVERIFY(dock.mendAllButton()->isHidden());
        f.save(f.path(QStringLiteral("new.bat")));
        QCOMPARE(AppFixture::readFile(f.path(QStringLiteral("new.bat"))), mended);

        // A message goes to its line and column, counted in characters.
        f.trigger(QStringLiteral("mn_undo"));
        f.trigger(QStringLiteral("mn_gmt6_check"));
        QVERIFY(dock.isVisible());
        QVERIFY(!dock.mendAllButton()->isHidden());
        dock.chooseNext(-1);
        dock.chooseNext(-1);
        QCOMPARE(caretLine(editor), 4);
        QCOMPARE(editor->Text1->textCursor().positionInBlock(), 36);

        // "Mend" on one of two places mended only together (psscale's -E goes into -D) mends both.
        editor = f.newEditor(QStringLiteral("gmt psscale -Eb -Dx1c/1c+w3c/1c\n"));
        f.trigger(QStringLiteral("mn_gmt6_check"));
        QVERIFY(dock.messageMenu(1));
        dock.messageMenu(1)->actions().first()->trigger();
        QCOMPARE(editor->text(), QStringLiteral("gmt psscale -Dx1c/1c+w3c/1c+eb\r\n"));
    }

    void gmt6CheckNeedsAnEditor()
    {
        AppFixture f;
        QVERIFY(!f.enabled("mn_gmt6_check") && !f.enabled("mn_gmt6_mend_all"));
        f.newEditor(QStringLiteral("gmt gmtset PS_MEDIA a4\ngmt psxy -R0/1/0/1 -JX1c -h0 in.xy > out.ps\n"));
        QVERIFY(f.enabled("mn_gmt6_check") && f.enabled("mn_gmt6_mend_all"));
        f.trigger(QStringLiteral("mn_gmt6_check"));
        app::OutputDock& dock = *f.main->outputDock();
        QVERIFY(dock.messages().empty());
        QVERIFY(dock.mendAllButton()->isHidden());
        QCOMPARE(dock.outputText(), QStringLiteral("Nothing GMT 6 refuses"));
    }

    void runFollowsTheKindOfScript()
    {
        struct Case {
            const char* name;
            bool bashFound, enabled;
            const char* tooltip;
        };
        const Case cases[] = {
            {"Script", true, false, "Run script: Only .bat, .cmd and .sh scripts can be run."},
            {"run.sh", true, true, "Run script"},
            {"run.BAT", false, true, "Run script"},
            {"run.cmd", false, true, "Run script"},
            {"notes.txt", true, false, "Run script: Only .bat, .cmd and .sh scripts can be run."},
            {"run.sh", false, false,
             "Run script: No bash was found on PATH: install Git for Windows or MSYS2 to run "
             ".sh scripts."},
        };
        for (const Case& c : cases) {
            AppFixture f;
            if (c.bashFound) f.platform.processes.found << QStringLiteral("bash");
            if (QLatin1String(c.name) == QLatin1String("Script")) f.newEditor();
            else f.open(QLatin1String(c.name), "echo\n");
            QVERIFY2(f.enabled("mn_run_script") == c.enabled, c.name);
            QCOMPARE(f.main->action(QStringLiteral("mn_run_script"))->toolTip(), QLatin1String(c.tooltip));
            QCOMPARE(f.main->toolbarButton(QStringLiteral("Run"))->defaultAction(),
                     f.main->action(QStringLiteral("mn_run_script")));
        }
        // It follows the active editor and a new name.
        AppFixture f;
        f.platform.processes.found << QStringLiteral("bash");
        f.open(QStringLiteral("run.sh"), "echo\n");
        f.newEditor(QStringLiteral("x"));
        QVERIFY(!f.enabled("mn_run_script"));
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(f.path(QStringLiteral("new.sh"))));
        f.trigger(QStringLiteral("mn_save_as"));
        QVERIFY(f.enabled("mn_run_script"));
    }

    void unsavedChangesAreSavedFirst()
    {
        struct Case {
            Answer answer;
            bool runs;
            QByteArray onDisk;
        };
        const Case cases[] = {
            {Answer::Yes, true, "echo new\necho old\n"},
            {Answer::No, true, "echo old\n"},
            {Answer::Cancel, false, "echo old\n"},
        };
        for (const Case& c : cases) {
            AppFixture f;
            f.platform.processes.found << QStringLiteral("bash");
            app::frmEditor* editor = f.open(QStringLiteral("run.sh"), "echo old\n");
            editor->insertAtCaret(QStringLiteral("echo new\n"));
            f.platform.messages.answers.enqueue(c.answer);
            // An opened file has no confirmed name: Yes goes through Save File as.
            f.platform.dialog.answers.enqueue(ScriptedDialog::accept(f.path(QStringLiteral("run.sh"))));
            f.trigger(QStringLiteral("mn_run_script"));
            QCOMPARE(f.message().title, QStringLiteral("File not saved"));
            QCOMPARE(int(f.platform.processes.runs.size()), c.runs ? 1 : 0);
            QCOMPARE(AppFixture::readFile(f.path(QStringLiteral("run.sh"))), c.onDisk);
        }
    }

    void theDockShowsTheRun()
    {
        AppFixture f;
        f.platform.processes.found << QStringLiteral("bash") << QStringLiteral("gmt");
        app::frmEditor* editor = f.open(QStringLiteral("run.sh"), kScript);
        f.trigger(QStringLiteral("mn_run_script"));
        QCOMPARE(int(f.platform.processes.runs.size()), 1);
        auto& run = *f.platform.processes.runs.back();
        QCOMPARE(run.program, QStringLiteral("/usr/bin/bash"));
        QCOMPARE(run.workingDir, f.dir.path());
        QCOMPARE(run.arguments.last(), QStringLiteral("./run.sh"));
        // GMT's folder goes first on PATH.
        const QString gmtFolder = QFileInfo(QStringLiteral("/usr/bin/gmt")).absolutePath();
        QVERIFY(run.environment.first().startsWith("PATH=" + QDir::toNativeSeparators(gmtFolder)));
        app::OutputDock& dock = *f.main->outputDock();
        QVERIFY(dock.isVisible());
        QVERIFY(dock.stopButton()->isEnabled());

        // The reports of lines never show; pieces join into lines.
        run.print("\x1fL1\nst", true);
        run.print("start\n");
        run.print("art?\n\x1fL2\npsbasemap [ERROR]: Unrecognized option -Q\n\x1f" "F72:2\n\x1fL3\n", true);
        QCOMPARE(dock.status(), QStringLiteral("Running line 3: gmt gmtinfo missing.xyz"));
        run.print("gmtinfo [ERROR]: Cannot find file missing.xyz\n\x1f" "F72:3\n\x1fL4\n", true);
        run.print("done");   // shown once the run has ended
        // A second run is refused while this one goes on.
        f.trigger(QStringLiteral("mn_run_script"));
        QCOMPARE(int(f.platform.processes.runs.size()), 1);
        dock.stopButton()->click();
        QVERIFY(run.stopped);
        run.end(-1);
        const QStringList shown = dock.outputText().split(QLatin1Char('\n'));
        QCOMPARE(shown.mid(1, 6),
                 QStringList({"start", "start?", "psbasemap [ERROR]: Unrecognized option -Q",
                              "gmtinfo [ERROR]: Cannot find file missing.xyz",
                              "A script is running already: it has to end, or be stopped, first.", "done"}));
        QVERIFY(!dock.outputText().contains(QLatin1Char('\x1f')));
        QVERIFY(dock.status().startsWith(QStringLiteral("Stopped after ")));
        QVERIFY(!dock.stopButton()->isEnabled());
        QCOMPARE(messageLines(dock), QStringList({"2 psbasemap [ERROR]: Unrecognized option -Q",
                                                  "3 gmtinfo [ERROR]: Cannot find file missing.xyz"}));

        // F8 and Shift+F8 go from message to message, wrapping round; the
        // caret goes to the line, which is marked.
        editor->Text1->moveCursor(QTextCursor::End);
        for (int expected : {2, 3, 2}) {
            f.trigger(QStringLiteral("mn_next_message"));
            QCOMPARE(caretLine(editor), expected);
            QCOMPARE(editor->Text1->extraSelections().size(), 1);
            QCOMPARE(editor->Text1->extraSelections().first().cursor.blockNumber() + 1, expected);
        }
        f.trigger(QStringLiteral("mn_previous_message"));
        QCOMPARE(caretLine(editor), 3);
        // Double-clicking (activating) a message does the same.
        emit dock.messageList()->itemActivated(dock.messageList()->item(0));
        QCOMPARE(caretLine(editor), 2);

        // Without GMT the Output says so, and how to install it.
        f.platform.processes.found.removeAll(QStringLiteral("gmt"));
        f.trigger(QStringLiteral("mn_run_script"));
        QVERIFY(dock.outputText().contains(QStringLiteral("GMT was not found")));
        QVERIFY(dock.outputText().contains(QStringLiteral("Install it")));
        QCOMPARE(editor->Text1->extraSelections().size(), 0);   // a new run takes the marks away
    }

#ifndef Q_OS_WIN
    // A line the batch runner cannot carry out is a message on that line.
    void refusedBatchLineIsAMessage()
    {
        AppFixture f;
        f.open(QStringLiteral("run.bat"), "echo a\r\ngoto end\r\n");
        f.trigger(QStringLiteral("mn_run_script"));
        QTRY_VERIFY(!f.main->scriptRun()->running());
        const QStringList messages = messageLines(*f.main->outputDock());
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].startsWith(QStringLiteral("2 \"goto end\" needs cmd.exe")), qPrintable(messages[0]));
    }
#endif

    // A run printing far more than the dock keeps ends quickly, its last
    // lines shown.
    void longOutputKeepsItsLastLines()
    {
        platform::QtProcesses processes;
        if (processes.findProgram(QStringLiteral("bash")).isEmpty()) QSKIP("bash is not installed");
        AppFixture f({}, &processes);
        f.open(QStringLiteral("long.sh"), "seq 1 300000 >&2\n");
        QElapsedTimer clock;
        clock.start();
        f.trigger(QStringLiteral("mn_run_script"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.main->scriptRun()->running(), 60000);
        const QStringList shown = f.main->outputDock()->outputText().split(QLatin1Char('\n'));
        QCOMPARE(shown.size(), app::OutputDock::kKeptLines);
        QCOMPARE(shown.mid(shown.size() - 2, 1), QStringList({"300000"}));
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    }

    // GMT's messages of a real run, each linked to its own line, by bash and
    // by the batch runner.
    void gmtMessagesGoToTheirLines()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gmt")).isEmpty()) QSKIP("GMT is not installed");
        for (const char* name : {"run.sh", "run.bat"}) {
            platform::QtProcesses processes;
            AppFixture f({}, &processes);
            f.open(QLatin1String(name), kScript);
            f.trigger(QStringLiteral("mn_run_script"));
            app::OutputDock& dock = *f.main->outputDock();
            QTRY_VERIFY_WITH_TIMEOUT(!f.main->scriptRun()->running(), 30000);
            QCOMPARE(messageLines(dock), QStringList({"2 psbasemap [ERROR]: Unrecognized option -Q",
                                                      "3 gmtinfo [ERROR]: Cannot find file missing.xyz"}));
            QVERIFY2(dock.outputText().contains(QStringLiteral("\ndone\n")), qPrintable(dock.outputText()));
            // The batch runner reports the last program's status, as cmd.exe does.
            const bool bash = QLatin1String(name) == QLatin1String("run.sh");
            QVERIFY(dock.status().startsWith(bash ? "Exit status 0 after " : "Exit status 72 after "));
        }
    }

    // The typical script, put together from the menus' own blocks, drawn by
    // the batch runner and GMT and shown in the Map dock.
    void typicalScriptDrawsItsMap()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gmt")).isEmpty()) QSKIP("GMT is not installed");
        platform::QtProcesses processes;
        platform::QtPrograms programs;
        AppFixture f({}, &processes, &programs);
        const QString region = QStringLiteral("-11/-9/51.5/53");
        QVERIFY(runGmt(f.dir.path(), {"grdmath", "-R" + region, "-I1m", "X", "10", "MUL", "SIN", "Y", "10",
                                      "MUL", "COS", "MUL", "1000", "MUL", "=", "raw.grd"}));
        QVERIFY(runGmt(f.dir.path(), {"grdgradient", "raw.grd", "-A45", "-Nt1", "-Gilu-x_cut.int"}));
        QVERIFY(runGmt(f.dir.path(), {"makecpt", "-Cgeo", "-T-1000/1000"}, QStringLiteral("color1.cpt")));

        app::frmEditor* editor = f.newEditor();
        for (const char* block : {"mn_script_header", "mn_gmt_settings", "mn_set_variables", "mn_grdcut",
                                  "mn_grdimage", "mn_pscoast", "mn_script_end"})
            f.trigger(QLatin1String(block));
        const QStringList values = {"grd_file=x_cut", "ps_file=map", "scale=M10c", "region=" + region,
                                    "elevation=", "border=", "in_file=raw"};
        QStringList lines = editor->Text1->toPlainText().split(QLatin1Char('\n'));
        const int first = int(lines.indexOf(QStringLiteral("set grd_file=")));
        QVERIFY(first > 0);
        for (int i = 0; i < values.size(); ++i) {
            if (i < 6) QVERIFY(values[i].startsWith(lines[first + i].mid(4)));
            else lines.insert(first + i, {});
            lines[first + i] = "set " + values[i];
        }
        editor->Text1->selectAll();
        editor->insertAtCaret(lines.join(QLatin1Char('\n')));
        f.save(f.path(QStringLiteral("typical.bat")));

        f.trigger(QStringLiteral("mn_run_script"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.main->scriptRun()->running(), 120000);
        app::OutputDock& dock = *f.main->outputDock();
        QVERIFY2(dock.status().startsWith(QStringLiteral("Exit status 0 after ")),
                 qPrintable(dock.outputText()));
        QVERIFY(QFileInfo(f.path(QStringLiteral("map.ps"))).size() > 20000);
        const app::MapDock& map = *f.main->mapDock();
        QTRY_VERIFY_WITH_TIMEOUT(!map.status().startsWith(QLatin1String("Making")), 60000);
        QVERIFY2(hasSeveralColours(map.picture()), qPrintable(map.status()));

        // Drawn again with a misspelt option after it: the map stays, and
        // pscoast's last words (no line end) never swallow the next error.
        editor->Text1->moveCursor(QTextCursor::End);
        editor->insertAtCaret(QStringLiteral("\npsbasemap -R%region% -J%scale% -Ba -Qx -O >> map.ps\n"));
        const int misspelt = editor->Text1->document()->blockCount() - 1;
        f.save(f.path(QStringLiteral("typical.bat")));
        f.trigger(QStringLiteral("mn_run_script"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.main->scriptRun()->running(), 120000);
        const QString error = QString::number(misspelt) + " psbasemap [ERROR]: Unrecognized option -Q";
        QVERIFY2(messageLines(dock).contains(error), qPrintable(messageLines(dock).join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(!map.status().startsWith(QLatin1String("Making")), 60000);
        QVERIFY2(hasSeveralColours(map.picture()), qPrintable(map.status()));
        // To look at.
        if (const QString shot = qEnvironmentVariable("MQ_RUN_SHOT"); !shot.isEmpty()) {
            f.main->resize(1280, 860);
            f.main->findChild<QMdiArea*>()->activeSubWindow()->showMaximized();
            f.main->resizeDocks({f.main->mapDock()}, {480}, Qt::Horizontal);
            f.main->resizeDocks({&dock}, {250}, Qt::Vertical);
            emit dock.messageList()->itemActivated(dock.messageList()->item(dock.messageList()->count() - 1));
            QTest::qWait(500);
            f.main->grab().save(shot);
        }
    }
};

QTEST_MAIN(TestScriptRun)
#include "test_script_run.moc"
