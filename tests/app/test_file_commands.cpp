// File commands: opening, the recent-files list, saving (byte for byte and
// atomically), importing and printing.
#include "app_fixture.h"

#include "app/core/document_rules.h"

using namespace mq;
using namespace mq::testing;

namespace {

Stored recentFiles(const QStringList& paths)
{
    Stored stored;
    for (int i = 0; i < paths.size(); ++i)
        if (!paths[i].isEmpty()) stored[{QStringLiteral("Files"), QStringLiteral("%1_%1").arg(i + 1)}] = paths[i];
    return stored;
}

QStringList menuPaths(const AppFixture& f)
{
    QStringList paths = f.recentCaptions();
    for (QString& p : paths) p = p.mid(3);
    return paths;
}

}  // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void recentFilesShift_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("opened");   // a name from before, or a new one
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<bool>("storing");
        const QStringList full = {"a.bat", "b.bat", "c.bat", "d.bat"};
        QTest::newRow("entry 1 stays") << full << "a.bat" << full << false;
        QTest::newRow("entry 2 to the top") << full << "b.bat" << QStringList{"b.bat", "a.bat", "c.bat", "d.bat"} << true;
        QTest::newRow("entry 3 to the top") << full << "c.bat" << QStringList{"c.bat", "a.bat", "b.bat", "d.bat"} << true;
        QTest::newRow("entry 4 to the top") << full << "d.bat" << QStringList{"d.bat", "a.bat", "b.bat", "c.bat"} << true;
        QTest::newRow("new file drops entry 4") << full << "e.bat" << QStringList{"e.bat", "a.bat", "b.bat", "c.bat"} << true;
        QTest::newRow("into an empty list") << QStringList{"", "", "", ""} << "e.bat" << QStringList{"e.bat", "", "", ""} << true;
        QTest::newRow("letter case counts") << full << "A.bat" << QStringList{"A.bat", "a.bat", "b.bat", "c.bat"} << true;
    }
    void recentFilesShift()
    {
        QFETCH(QStringList, before);
        QFETCH(QString, opened);
        QFETCH(QStringList, after);
        QFETCH(bool, storing);
        QTemporaryDir dir;
        auto inDir = [&](QStringList names) {
            for (QString& n : names)
                if (!n.isEmpty()) n = QDir::toNativeSeparators(dir.filePath(n));
            return names;
        };
        AppFixture f(recentFiles(inDir(before)));
        const size_t writesAtStart = f.platform.settings.writes.size();
        write_file(dir.filePath(opened), "echo off\r\n");
        QVERIFY(f.open(dir.filePath(opened)));
        QCOMPARE(menuPaths(f), inDir(after));
        if (storing) {
            QStringList stored;
            for (int i = 1; i <= 4; ++i) stored << f.platform.settings.get("Files", QStringLiteral("%1_%1").arg(i));
            QCOMPARE(stored, inDir(after));
            // Stored from the bottom entry up.
            QCOMPARE(f.platform.settings.writes.at(writesAtStart).second, QStringLiteral("4_4"));
        } else {
            QCOMPARE(f.platform.settings.writes.size(), writesAtStart);
        }
    }

    void missingFileKeepsItsEntry()
    {
        AppFixture f(recentFiles({"/nowhere/a.bat", "/nowhere/gone.bat"}));
        f.trigger("mn_3_3");   // an empty entry opens nothing and says nothing
        QCOMPARE(f.messages(), 0);
        f.trigger("mn_2_2");
        QCOMPARE(f.messages(), 1);
        // Paths kept with "/" show as the platform writes them.
        QCOMPARE(f.message().text, "File moved or deleted, however it couldn't be found.\r\n\r\n" +
                                       QDir::toNativeSeparators("/nowhere/gone.bat"));
        QCOMPARE(f.message().title, QStringLiteral("File not found"));
        QCOMPARE(f.message().icon, platform::MessageIcon::Question);
        QCOMPARE(f.message().buttons, platform::MessageButtons::Ok);
        QCOMPARE(menuPaths(f), QDir::toNativeSeparators("/nowhere/a.bat|/nowhere/gone.bat||").split('|'));
        QVERIFY(f.main->editors().isEmpty());
    }

    void openShowsTheStoredFont()
    {
        AppFixture f({{{"Text", "Font_Size"}, "10.5"}, {{"Text", "Font_Name"}, "DejaVu Sans Mono"}, {{"Text", "Font_Color"}, "255"}});
        const QString file = f.writeFile("run.bat", "echo off\r\ngmtset\r\n");
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_open_file");
        app::frmEditor* editor = f.editor();
        QVERIFY(editor);
        QCOMPARE(editor->caption(), "'" + file);
        QCOMPARE(editor->text(), QStringLiteral("echo off\r\ngmtset\r\n"));
        QCOMPARE(editor->Text1->font().pointSize(), 10);   // a stored fraction becomes a whole number
        QCOMPARE(editor->Text1->palette().color(QPalette::Text), QColor(255, 0, 0));
        const auto& asked = f.platform.dialog.shown.back().state;
        QCOMPARE(asked.dialogTitle, QStringLiteral("Open File ..."));
        QVERIFY(asked.filter.startsWith(QStringLiteral("All Files (*.*)|*.*|Text Files(*.txt)|*.txt|")));
        QVERIFY(asked.filter.endsWith(QStringLiteral("|HGT file (*.hgt)|*.hgt")));
        QCOMPARE(f.caption("mn_1_1"), "1: " + file);
        QVERIFY(f.enabled("mn_save"));
    }

    void openCancelledShowsNothing()
    {
        AppFixture f;
        f.open(f.path("missing.bat"));   // leaves its path as the one last picked
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        QVERIFY(!f.main->file_path_in().isEmpty());
        f.trigger("mn_open_file");
        QVERIFY(f.main->editors().isEmpty());
        QVERIFY(f.main->file_path_in().isEmpty());
        QCOMPARE(f.messages(), 1);
    }

    // The choice by extension is the document rules'; here the dialog gets it,
    // and a name without a known extension keeps the dialog's default.
    void saveAsChoosesTheFilter_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("defaultExt");
        QTest::newRow("new document") << "'Script" << 1 << "previous";
        QTest::newRow("batch file") << "'C:\\maps\\run.bat" << 3 << "bat";
        QTest::newRow("text file") << "C:\\maps\\notes.txt*" << 2 << "txt";
        QTest::newRow("upper case") << "'/maps/RUN.BAT" << 1 << "previous";
    }
    void saveAsChoosesTheFilter()
    {
        QFETCH(QString, caption);
        QFETCH(int, filterIndex);
        QFETCH(QString, defaultExt);
        AppFixture f;
        f.newEditor()->setCaption(caption);
        f.platform.dialog.state().defaultExt = QStringLiteral("previous");
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger("mn_save_as");
        QCOMPARE(int(f.platform.dialog.shown.size()), 1);
        const auto& asked = f.platform.dialog.shown.front();
        QCOMPARE(asked.kind, ScriptedDialog::Kind::Save);
        QCOMPARE(asked.state.filterIndex, filterIndex);
        QCOMPARE(asked.state.defaultExt, defaultExt);
        QCOMPARE(asked.state.fileName, QString::fromStdString(app::pathFromCaption(caption.toStdString())));
        QCOMPARE(asked.state.dialogTitle, QStringLiteral("Save File as ..."));
        QVERIFY(asked.state.overwritePrompt);
        QVERIFY(asked.state.filter.endsWith(QStringLiteral("|Awk script (*.awk)|*.awk")));
        QCOMPARE(f.editor()->caption(), caption);   // cancelled: nothing changed
    }

    // A new document is saved under the name chosen (saving again is below);
    // an empty one gives an empty file.
    void saveNewDocument_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("text") << "echo off\r\necho on";
        QTest::newRow("empty") << "";
    }
    void saveNewDocument()
    {
        QFETCH(QString, text);
        AppFixture f;
        app::frmEditor* editor = f.newEditor(text);
        const QString target = f.path("new.bat");
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(target));
        f.trigger("mn_save");
        QCOMPARE(f.platform.dialog.shown.back().kind, ScriptedDialog::Kind::Save);
        QCOMPARE(editor->caption(), target);
        QCOMPARE(f.main->file_path_in(), target);
        QCOMPARE(f.caption("mn_1_1"), "1: " + target);
        QCOMPARE(read_file(target), text.toUtf8());
    }

    void savesTheFileOnScreen_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::newRow("apostrophe") << "maps" << "it's.bat";
#ifndef Q_OS_WIN   // Windows has no such names: refusesNamesWindowsDoesNotTake
        QTest::newRow("star") << "maps" << "all*.bat";
        QTest::newRow("name ending in a star") << "maps" << "run.bat*";
        QTest::newRow("marks in the folder") << "'90s & *old*" << "run.bat";
        QTest::newRow("Qt's title placeholder") << "a[*]b" << "x.bat";
#endif
        QTest::newRow("marks in a folder Windows takes") << "'90s & (old)" << "run.bat";
        QTest::newRow("ampersand") << "R&D" << "amp.bat";
        QTest::newRow("blanks") << "my maps" << " run .bat";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Zürich Karten") << QString::fromUtf8("höhe.bat");
    }
    void savesTheFileOnScreen()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        AppFixture f;
        QVERIFY(QDir(f.dir.path()).mkpath(folder));
        const QString file = f.writeFile(folder + '/' + name, "old\r\n");
        app::frmEditor* editor = f.open(file);
        QVERIFY(editor);
        QCOMPARE(editor->caption(), "'" + file);
        QCOMPARE(editor->windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")), "'" + file);
        // The recent-files entry shows the path as it is and opens that file.
        QCOMPARE(f.caption("mn_1_1"), "1: " + QString(file).replace("&", "&&"));
        editor->Text1->moveCursor(QTextCursor::End);
        editor->insertAtCaret(QStringLiteral("one"));
        // An opened file is confirmed with Save File as, preset with its own path.
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_save");
        QCOMPARE(f.platform.dialog.shown.back().state.fileName, file);
        QCOMPARE(editor->caption(), file);
        editor->insertAtCaret(QStringLiteral(" two"));
        QCOMPARE(editor->caption(), file + '*');
        f.trigger("mn_save");
        QCOMPARE(int(f.platform.dialog.shown.size()), 1);
        QCOMPARE(editor->caption(), file);
        QCOMPARE(read_file(file), QByteArray("old\r\none two"));
        QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
        f.trigger("mn_1_1");
        QCOMPARE(f.editor()->caption(), "'" + file);
        QCOMPARE(f.editor()->text(), QStringLiteral("old\r\none two"));
    }

    void refusesNamesWindowsDoesNotTake_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::newRow("star") << "all*.bat" << "Windows does not allow the character * in a file name";
        QTest::newRow("device") << "Nul.bat"
                                << "\"NUL\" is a device on Windows, not a file; choose another name";
    }
    void refusesNamesWindowsDoesNotTake()
    {
        // On Windows the name is refused before anything is written, and the
        // text stays; elsewhere it is an ordinary name.
        QFETCH(QString, name);
        QFETCH(QString, problem);
        AppFixture f;
        const QString file = f.writeFile("old.bat", "old\r\n");
        app::frmEditor* editor = f.open(file);
        editor->insertAtCaret(QStringLiteral("new "));
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(f.path(name)));
        f.trigger("mn_save");
#ifdef Q_OS_WIN
        QCOMPARE(f.message().title, QStringLiteral("File not saved"));
        QVERIFY2(f.message().text.endsWith(" could not be saved: " + problem + '.'),
                 qPrintable(f.message().text));
        QVERIFY(editor->isModified());
        QCOMPARE(editor->text(), QStringLiteral("new old\r\n"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.bat"});
#else
        Q_UNUSED(problem);
        QCOMPARE(read_file(f.path(name)), QByteArray("new old\r\n"));
#endif
        QCOMPARE(read_file(file), QByteArray("old\r\n"));
    }

    void newScriptIsSavedInTheCodePage_data()
    {
        // On Windows a new script is 8-bit text in code page 1252, unless it
        // holds a character that code page lacks; elsewhere it is UTF-8.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("windows");
        QTest::addColumn<QByteArray>("elsewhere");
        const QByteArray utf8 = "rem \xc3\xa9 \xe5\x9c\xb0";
        const QString copyright = QString::fromUtf8("rem \u00a9 2026\n");
        QTest::newRow("copyright sign") << copyright << QByteArray("rem \xa9 2026\r\n")
                                        << QByteArray("rem \xc2\xa9 2026\r\n");
        QTest::newRow("not in 1252") << QString::fromUtf8("rem \u00e9 \u5730") << utf8 << utf8;
    }
    void newScriptIsSavedInTheCodePage()
    {
        QFETCH(QString, text);
        AppFixture f;
        f.newEditor(text);
        f.platform.messages.answers.enqueue(platform::MessageAnswer::Ok);   // UTF-8, where asked
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(f.path("new.bat")));
        f.trigger("mn_save");
#ifdef Q_OS_WIN
        QTEST(read_file(f.path("new.bat")), "windows");
#else
        QTEST(read_file(f.path("new.bat")), "elsewhere");
#endif
        QVERIFY(!f.editor()->isModified());
    }

    void encodingSwitchNeedsConsent()
    {
        AppFixture f;
        const QString file = f.writeFile("cp.bat", "\xe9\r\n");
        app::frmEditor* editor = f.open(file);
        editor->Text1->moveCursor(QTextCursor::End);
        editor->insertAtCaret(QString(QChar(0x4E2D)));
        f.platform.messages.answers.enqueue(platform::MessageAnswer::Cancel);
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_save");
        QCOMPARE(read_file(file), QByteArray("\xe9\r\n"));
        QVERIFY(editor->isModified());
        QCOMPARE(f.message().buttons, platform::MessageButtons::OkCancel);
        QVERIFY(f.message().text.contains("\r\n" + file + "\r\n"));   // the path on a line of its own
        f.platform.messages.answers.enqueue(platform::MessageAnswer::Ok);
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_save");
        QCOMPARE(read_file(file), QByteArray("\xc3\xa9\r\n\xe4\xb8\xad"));
        QVERIFY(!editor->isModified());
    }

    // Opened and saved (unchanged or with text appended), a file keeps its
    // encoding, byte-order mark and line ends.
    void roundTripKeepsBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("appended");
        QTest::addColumn<QByteArray>("saved");   // empty: the bytes as they were
        QTest::newRow("CR LF, code page") << QByteArray("echo \xe9t\xe9\r\nREM \x80\r\n") << "" << QByteArray();
        QTest::newRow("LF, UTF-8") << QByteArray("a \xc3\xa9\nb\n") << "" << QByteArray();
        QTest::newRow("BOM kept") << QByteArray("\xef\xbb\xbf" "x\r\n") << "" << QByteArray();
        QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd") << "" << QByteArray();
        QTest::newRow("no line end at the end") << QByteArray("x\r\ny") << "" << QByteArray();
        QTest::newRow("empty file") << QByteArray() << "" << QByteArray();
        QTest::newRow("non-breaking space") << QByteArray("a\xa0" "b") << "" << QByteArray();
        QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe" "a\0\r\0\n\0", 8) << "" << QByteArray();
        QTest::newRow("two byte-order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx") << "" << QByteArray();
        QTest::newRow("edit keeps LF") << QByteArray("a\nb") << "\nc" << QByteArray("a\nb\nc");
        QTest::newRow("edit keeps code page") << QByteArray("\xe9\r\n") << QString(QChar(0xE8)) << QByteArray("\xe9\r\n\xe8");
        QTest::newRow("edit keeps UTF-16 BE") << QByteArray("\xfe\xff\0" "a", 4) << QString(QChar(0x4E2D))
                                              << QByteArray("\xfe\xff\0" "a\x4e\x2d", 6);
    }
    void roundTripKeepsBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, appended);
        QFETCH(QByteArray, saved);
        AppFixture f;
        const QString file = f.writeFile("round.bat", bytes);
        app::frmEditor* editor = f.open(file);
        QVERIFY(editor);
        editor->Text1->moveCursor(QTextCursor::End);
        if (!appended.isEmpty()) editor->insertAtCaret(appended);
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_save");
        QCOMPARE(read_file(file), appended.isEmpty() ? bytes : saved);
        QCOMPARE(f.messages(), 0);
    }

    void failedSaveKeepsOldFileAndMark()
    {
        AppFixture f;
        const QString file = f.writeFile("locked.bat", "old text");
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        app::frmEditor* editor = f.newEditor();
        editor->setCaption(file);
        editor->insertAtCaret(QStringLiteral("new text"));
        f.trigger("mn_save");
        QCOMPARE(read_file(file), QByteArray("old text"));
        QCOMPARE(editor->caption(), file + '*');
        QCOMPARE(f.messages(), 1);
        QVERIFY(f.message().text.contains(file));
        QVERIFY(f.message().text.contains(QStringLiteral("read-only")));
        QVERIFY(f.message().text.endsWith(QStringLiteral("The old file is unchanged.")));
        // Into a folder that does not exist: there was no old file to speak of.
        editor->setCaption(f.path("missing/folder/x.bat*"));
        f.trigger("mn_save");
        QCOMPARE(f.messages(), 2);
        QVERIFY(!f.message().text.contains(QStringLiteral("old file")));
        QVERIFY(editor->caption().endsWith('*'));
    }

    void unreadableFileReportsTheReason()
    {
        AppFixture f;
        f.open(f.dir.path());   // a folder, not a file
        QCOMPARE(f.messages(), 1);
        QVERIFY(f.message().text.startsWith(QStringLiteral("function: open_file_function:  ")));
        // Names the file.
        QVERIFY(f.message().text.endsWith("\r\n\r\n" + QDir::toNativeSeparators(f.dir.path())));
        QCOMPARE(f.message().title, QStringLiteral("Mapquill"));
        QCOMPARE(f.message().icon, platform::MessageIcon::None);
        QVERIFY(f.main->editors().isEmpty());
    }

    void importInsertsAtTheCaret()
    {
        AppFixture f;
        const QString file = f.writeFile("part.txt", "one\r\ntwo");
        app::frmEditor* editor = f.newEditor(QStringLiteral("[]"));
        editor->Text1->moveCursor(QTextCursor::Left);
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_import");
        QCOMPARE(editor->text(), QStringLiteral("[one\r\ntwo]"));
        QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
        QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: "));   // the list is not touched
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger("mn_import");
        QCOMPARE(editor->text(), QStringLiteral("[one\r\ntwo]"));
    }

    void printSendsTheText()
    {
        AppFixture f;
        f.newEditor(QStringLiteral("echo off\r\ngmtset"));
        f.platform.dialog.answers.enqueue(ScriptedDialog::Answer{});
        f.trigger("mn_print");
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger("mn_print");
        QCOMPARE(f.platform.dialog.printed, QStringList{QStringLiteral("echo off\ngmtset")});
    }
};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
