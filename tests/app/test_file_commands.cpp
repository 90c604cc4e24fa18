// File commands: opening, the recent-files list, saving (byte for byte and
// atomically). Import and Print are steps in data/editor_steps.txt.
#include "app_fixture.h"

using namespace mq;
using namespace mq::testing;
using Icon = platform::MessageIcon;

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
    void recentFilesShift()
    {
        // Names separated by "|": the list before, the file opened, the list after.
        const struct {
            const char *before, *opened, *after;
        } rows[] = {
            {"a|b|c|d", "a", "a|b|c|d"},   // entry 1 stays, nothing is stored
            {"a|b|c|d", "b", "b|a|c|d"}, {"a|b|c|d", "c", "c|a|b|d"}, {"a|b|c|d", "d", "d|a|b|c"},
            {"a|b|c|d", "e", "e|a|b|c"},   // a new file drops entry 4
            {"|||", "e", "e|||"},
            {"a|b|c|d", "A", "A|a|b|c"},   // letter case counts
        };
        for (const auto& row : rows) {
            QTemporaryDir dir;
            const auto inDir = [&](const char* names) {
                QStringList paths = QString::fromLatin1(names).split('|');
                for (QString& n : paths)
                    if (!n.isEmpty()) n = QDir::toNativeSeparators(dir.filePath(n + ".bat"));
                return paths;
            };
            AppFixture f(recentFiles(inDir(row.before)));
            const size_t writesAtStart = f.platform.settings.writes.size();
            write_file(dir.filePath(QLatin1String(row.opened) + ".bat"), "echo off\r\n");
            QVERIFY(f.open(dir.filePath(QLatin1String(row.opened) + ".bat")));
            QCOMPARE(menuPaths(f), inDir(row.after));
            if (qstrcmp(row.before, row.after) == 0) {
                QCOMPARE(f.platform.settings.writes.size(), writesAtStart);
                continue;
            }
            QStringList stored;
            for (int i = 1; i <= 4; ++i) stored << f.platform.settings.get("Files", QStringLiteral("%1_%1").arg(i));
            QCOMPARE(stored, inDir(row.after));
            // Stored from the bottom entry up.
            QCOMPARE(f.platform.settings.writes.at(writesAtStart).second, QStringLiteral("4_4"));
        }
    }

    void missingOrUnreadableFileOpensNothing()
    {
        AppFixture f(recentFiles({"/nowhere/a.bat", "/nowhere/gone.bat"}));
        f.trigger("mn_3_3");   // an empty entry opens nothing and says nothing
        QCOMPARE(f.messages(), 0);
        f.trigger("mn_2_2");
        // Paths kept with "/" show as the platform writes them; the entry stays.
        f.checkMessage("File moved or deleted, however it couldn't be found.\r\n\r\n" +
                           QDir::toNativeSeparators("/nowhere/gone.bat"),
                       "File not found", Icon::Question);
        QCOMPARE(menuPaths(f), QDir::toNativeSeparators("/nowhere/a.bat|/nowhere/gone.bat||").split('|'));
        // A folder, not a file: the reason, and the file named.
        f.open(f.dir.path());
        QCOMPARE(f.messages(), 2);
        QVERIFY(f.message().text.startsWith(QStringLiteral("function: open_file_function:  75  ")));
        QVERIFY(f.message().text.endsWith("\r\n\r\n" + QDir::toNativeSeparators(f.dir.path())));
        QCOMPARE(f.message().title, QStringLiteral("Mapquill"));
        QCOMPARE(f.message().icon, Icon::None);
        QVERIFY(f.main->editors().isEmpty());
    }

    void openShowsTheStoredFont()
    {
        AppFixture f({{{"Text", "Font_Size"}, "10.5"}, {{"Text", "Font_Name"}, "DejaVu Sans Mono"}, {{"Text", "Font_Color"}, "255"}});
        // Cancelled, Open File forgets the path last picked and shows nothing.
        f.open(f.path("missing.bat"));
        QVERIFY(!f.main->file_path_in().isEmpty());
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger("mn_open_file");
        QVERIFY(f.main->file_path_in().isEmpty());
        QCOMPARE(f.messages(), 1);

        const QString file = f.writeFile("run.bat", "echo off\r\ngmtset\r\n");
        f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
        f.trigger("mn_open_file");
        app::frmEditor* editor = f.editor();
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


    // A new document is saved under the name chosen (saving again is below): on
    // Windows as 8-bit text in code page 1252, unless it holds a character that
    // code page lacks; elsewhere as UTF-8. An empty one gives an empty file.
    void saveNewDocument()
    {
        const QByteArray utf8 = "rem \xc3\xa9 \xe5\x9c\xb0";
        const struct {
            QString text;
            QByteArray windows, elsewhere;
        } rows[] = {{"echo off\r\necho on", "echo off\r\necho on", "echo off\r\necho on"}, {{}, {}, {}},
                    {QString::fromUtf8("rem \u00a9 2026\n"), "rem \xa9 2026\r\n", "rem \xc2\xa9 2026\r\n"},
                    {QString::fromUtf8("rem \u00e9 \u5730"), utf8, utf8}};
        for (const auto& row : rows) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor(row.text);
            const QString target = f.path("new.bat");
            f.platform.messages.answers.enqueue(platform::MessageAnswer::Ok);   // UTF-8, where asked
            f.save(target);
            QCOMPARE(f.platform.dialog.shown.back().kind, ScriptedDialog::Kind::Save);
            QCOMPARE(editor->caption(), target);
            QVERIFY(!editor->isModified());
            QCOMPARE(f.main->file_path_in(), target);
            QCOMPARE(f.caption("mn_1_1"), "1: " + target);
#ifdef Q_OS_WIN
            QCOMPARE(read_file(target), row.windows);
#else
            QCOMPARE(read_file(target), row.elsewhere);
#endif
        }
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
        QCOMPARE(editor->caption(), "'" + file);
        QCOMPARE(editor->windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")), "'" + file);
        // The recent-files entry shows the path as it is and opens that file.
        QCOMPARE(f.caption("mn_1_1"), "1: " + QString(file).replace("&", "&&"));
        editor->Text1->moveCursor(QTextCursor::End);
        editor->insertAtCaret(QStringLiteral("one"));
        // An opened file is confirmed with Save File as, preset with its own path.
        f.save(file);
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

    void refusesNamesWindowsDoesNotTake()
    {
        // On Windows the name is refused before anything is written, and the
        // text stays; elsewhere it is an ordinary name.
        const struct {
            const char *name, *problem;
        } rows[] = {{"all*.bat", "Windows does not allow the character * in a file name"},
                    {"Nul.bat", "\"NUL\" is a device on Windows, not a file; choose another name"}};
        for (const auto& row : rows) {
            AppFixture f;
            const QString file = f.writeFile("old.bat", "old\r\n");
            app::frmEditor* editor = f.open(file);
            editor->insertAtCaret(QStringLiteral("new "));
            f.save(f.path(row.name));
#ifdef Q_OS_WIN
            QCOMPARE(f.message().title, QStringLiteral("File not saved"));
            QVERIFY2(f.message().text.endsWith(QStringLiteral(" could not be saved: ") + row.problem + '.'),
                     qPrintable(f.message().text));
            QVERIFY(editor->isModified());
            QCOMPARE(editor->text(), QStringLiteral("new old\r\n"));
            QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.bat"});
#else
            QCOMPARE(read_file(f.path(row.name)), QByteArray("new old\r\n"));
#endif
            QCOMPARE(read_file(file), QByteArray("old\r\n"));
        }
    }

    // Opened and saved (unchanged or with text appended), a file keeps its
    // encoding, byte-order mark and line ends.
    void roundTripKeepsBytes()
    {
        const struct {
            QByteArray bytes;
            QString appended;
            QByteArray saved;   // empty: the bytes as they were
        } rows[] = {
            {"echo \xe9t\xe9\r\nREM \x80\r\n", {}, {}},          // CR LF, code page
            {"a \xc3\xa9\nb\n", {}, {}},                          // LF, UTF-8
            {"\xef\xbb\xbf" "x\r\n", {}, {}},                     // byte-order mark
            {"a\r\nb\nc\rd", {}, {}},                             // mixed line ends
            {"x\r\ny", {}, {}},                                   // no line end at the end
            {{}, {}, {}},                                         // empty file
            {"a\xa0" "b", {}, {}},                                // non-breaking space
            {QByteArray("\xff\xfe" "a\0\r\0\n\0", 8), {}, {}},    // UTF-16 LE
            {"\xef\xbb\xbf\xef\xbb\xbfx", {}, {}},                // two byte-order marks
            {"a\nb", QStringLiteral("\nc"), "a\nb\nc"},            // an edit keeps LF,
            {"\xe9\r\n", QString(QChar(0xE8)), "\xe9\r\n\xe8"},   // the code page,
            {QByteArray("\xfe\xff\0" "a", 4), QString(QChar(0x4E2D)), QByteArray("\xfe\xff\0" "a\x4e\x2d", 6)},
        };
        for (const auto& row : rows) {
            AppFixture f;
            const QString file = f.writeFile("round.bat", row.bytes);
            app::frmEditor* editor = f.open(file);
            editor->Text1->moveCursor(QTextCursor::End);
            if (!row.appended.isEmpty()) editor->insertAtCaret(row.appended);
            f.save(file);
            QCOMPARE(read_file(file), row.appended.isEmpty() ? row.bytes : row.saved);
            QCOMPARE(f.messages(), 0);
        }
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

};

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
