// File commands: opening, the recent-files list, saving (byte for byte and
// atomically), importing and printing.
#include "app_fixture.h"
#include "platform/qt_platform.h"

#include "app/core/document_rules.h"

#include <QPrinter>

using namespace mq;
using namespace mq::testing;

namespace {

using Stored = QMap<QPair<QString, QString>, QString>;

Stored recentFiles(const QStringList& paths)
{
    Stored stored;
    for (int i = 0; i < paths.size(); ++i)
        if (!paths[i].isEmpty()) stored[{QStringLiteral("Files"), QStringLiteral("%1_%1").arg(i + 1)}] = paths[i];
    return stored;
}

QStringList menuPaths(const AppFixture& f)
{
    QStringList paths;
    for (const char* name : {"mn_1_1", "mn_2_2", "mn_3_3", "mn_4_4"}) paths << f.caption(name).mid(3);
    return paths;
}

QStringList storedPaths(const AppFixture& f)
{
    QStringList paths;
    for (int i = 1; i <= 4; ++i)
        paths << f.platform.settings.values.value({QStringLiteral("Files"), QStringLiteral("%1_%1").arg(i)});
    return paths;
}

}  // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void recentFilesShift_data();
    void recentFilesShift();
    void missingFileKeepsItsEntry();
    void emptyEntryOpensNothing();
    void openShowsTheStoredFont();
    void openCancelledShowsNothing();
    void saveAsChoosesTheFilter_data();
    void saveAsChoosesTheFilter();
    void saveAfterSaveAsNeedsNoDialog();
    void savesTheFileOnScreen_data();
    void savesTheFileOnScreen();
    void encodingSwitchNeedsConsent();
    void roundTripKeepsBytes_data();
    void roundTripKeepsBytes();
    void failedSaveKeepsOldFileAndMark();
    void unreadableFileReportsTheReason();
    void importInsertsAtTheCaret();
    void printSendsTheText();
    void printsIntoAPdf();
};

void TestFileCommands::recentFilesShift_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("opened");   // a name from before, or a new one
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("stored");
    const QStringList full = {"a.bat", "b.bat", "c.bat", "d.bat"};
    QTest::newRow("entry 1 stays") << full << "a.bat" << full << false;
    QTest::newRow("entry 2 to the top") << full << "b.bat" << QStringList{"b.bat", "a.bat", "c.bat", "d.bat"} << true;
    QTest::newRow("entry 3 to the top") << full << "c.bat" << QStringList{"c.bat", "a.bat", "b.bat", "d.bat"} << true;
    QTest::newRow("entry 4 to the top") << full << "d.bat" << QStringList{"d.bat", "a.bat", "b.bat", "c.bat"} << true;
    QTest::newRow("new file drops entry 4") << full << "e.bat" << QStringList{"e.bat", "a.bat", "b.bat", "c.bat"} << true;
    QTest::newRow("into an empty list") << QStringList{"", "", "", ""} << "e.bat" << QStringList{"e.bat", "", "", ""} << true;
    QTest::newRow("letter case counts") << full << "A.bat" << QStringList{"A.bat", "a.bat", "b.bat", "c.bat"} << true;
}

void TestFileCommands::recentFilesShift()
{
    QFETCH(QStringList, before);
    QFETCH(QString, opened);
    QFETCH(QStringList, after);
    QFETCH(bool, stored);
    QTemporaryDir dir;
    auto inDir = [&](QStringList names) {
        for (QString& n : names)
            if (!n.isEmpty()) n = dir.filePath(n);
        return names;
    };
    AppFixture f(recentFiles(inDir(before)));
    const int writesAtStart = int(f.platform.settings.writes.size());
    QFile file(dir.filePath(opened));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("echo off\r\n");
    file.close();
    QVERIFY(f.open(file.fileName()));
    QCOMPARE(menuPaths(f), inDir(after));
    if (stored) {
        QCOMPARE(storedPaths(f), inDir(after));
        // Stored from the bottom entry up.
        QCOMPARE(f.platform.settings.writes.at(size_t(writesAtStart)).second, QStringLiteral("4_4"));
    } else {
        QCOMPARE(int(f.platform.settings.writes.size()), writesAtStart);
    }
}

void TestFileCommands::missingFileKeepsItsEntry()
{
    AppFixture f(recentFiles({"/nowhere/a.bat", "/nowhere/gone.bat"}));
    f.trigger("mn_2_2");
    QCOMPARE(int(f.platform.messages.shown.size()), 1);
    const auto& shown = f.platform.messages.shown.front();
    QCOMPARE(shown.text, QStringLiteral("File moved or deleted, however it couldn't be found.\r\n\r\n/nowhere/gone.bat"));
    QCOMPARE(shown.title, QStringLiteral("File not found"));
    QCOMPARE(shown.icon, platform::MessageIcon::Question);
    QCOMPARE(shown.buttons, platform::MessageButtons::Ok);
    QCOMPARE(menuPaths(f), (QStringList{"/nowhere/a.bat", "/nowhere/gone.bat", "", ""}));
    QVERIFY(f.main->editors().isEmpty());
}

void TestFileCommands::emptyEntryOpensNothing()
{
    AppFixture f;
    f.trigger("mn_3_3");
    QVERIFY(f.platform.messages.shown.empty());
    QVERIFY(f.main->editors().isEmpty());
}

void TestFileCommands::openShowsTheStoredFont()
{
    AppFixture f({{{"Text", "Font_Size"}, "10.5"}, {{"Text", "Font_Name"}, "DejaVu Sans Mono"}, {{"Text", "Font_Color"}, "255"}});
    const QString file = f.writeFile("run.bat", "echo off\r\ngmtset\r\n");
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_open_file");
    app::frmEditor* editor = f.editor();
    QVERIFY(editor);
    QCOMPARE(editor->caption(), QStringLiteral("'") + file);
    QCOMPARE(editor->text(), QStringLiteral("echo off\r\ngmtset\r\n"));
    QCOMPARE(editor->Text1->font().pointSize(), 10);   // a stored fraction becomes a whole number
    QCOMPARE(editor->Text1->palette().color(QPalette::Text), QColor(255, 0, 0));
    const auto& asked = f.platform.dialog.shown.back().state;
    QCOMPARE(asked.dialogTitle, QStringLiteral("Open File ..."));
    QVERIFY(asked.filter.startsWith(QStringLiteral("All Files (*.*)|*.*|Text Files(*.txt)|*.txt|")));
    QVERIFY(asked.filter.endsWith(QStringLiteral("|HGT file (*.hgt)|*.hgt")));
    QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: ") + file);
    QVERIFY(f.enabled("mn_save"));
}

void TestFileCommands::openCancelledShowsNothing()
{
    AppFixture f;
    f.main->set_file_path_in(QStringLiteral("left over"));
    f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
    f.trigger("mn_open_file");
    QVERIFY(f.main->editors().isEmpty());
    QVERIFY(f.main->file_path_in().isEmpty());
    QVERIFY(f.platform.messages.shown.empty());
}

void TestFileCommands::saveAsChoosesTheFilter_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<QString>("defaultExt");
    QTest::newRow("new document") << "'Script" << 1 << "previous";
    QTest::newRow("batch file") << "'C:\\maps\\run.bat" << 3 << "bat";
    QTest::newRow("text file") << "C:\\maps\\notes.txt*" << 2 << "txt";
    QTest::newRow("colour table") << "'/maps/relief.cpt" << 4 << "cpt";
    QTest::newRow("awk program") << "'/maps/cols.awk" << 8 << "awk";
    QTest::newRow("a dot in a folder") << "'C:\\my.data\\run.bat" << 3 << "bat";
    QTest::newRow("a dot in a folder only") << "'/home/me/my.maps/Script" << 1 << "previous";
    QTest::newRow("double extension") << "'/maps/run.bat.txt" << 2 << "txt";
    QTest::newRow("upper case") << "'/maps/RUN.BAT" << 1 << "previous";
}

void TestFileCommands::saveAsChoosesTheFilter()
{
    QFETCH(QString, caption);
    QFETCH(int, filterIndex);
    QFETCH(QString, defaultExt);
    AppFixture f;
    f.newEditor()->setCaption(caption);
    f.platform.dialog.state().defaultExt = QStringLiteral("previous");
    f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
    f.main->mn_save_as_Click();
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

void TestFileCommands::saveAfterSaveAsNeedsNoDialog()
{
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(QStringLiteral("echo off"));
    const QString target = f.path("new.bat");
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(target));
    f.trigger("mn_save");
    QCOMPARE(editor->caption(), target);
    QCOMPARE(f.main->file_path_in(), target);
    QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: ") + target);
    editor->insertAtCaret(QStringLiteral("\r\necho on"));
    QCOMPARE(editor->caption(), target + QLatin1Char('*'));
    f.trigger("mn_save");
    QCOMPARE(int(f.platform.dialog.shown.size()), 1);
    QCOMPARE(editor->caption(), target);
    QCOMPARE(AppFixture::readFile(target), QByteArray("echo off\r\necho on"));
    // An empty document gives an empty file.
    app::frmEditor* empty = f.newEditor();
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(f.path("empty.txt")));
    f.main->saveEditorAs(empty);
    QCOMPARE(QFileInfo(f.path("empty.txt")).size(), 0);
}

void TestFileCommands::savesTheFileOnScreen_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("apostrophe") << "maps" << "it's.bat";
    QTest::newRow("star") << "maps" << "all*.bat";
    QTest::newRow("name ending in a star") << "maps" << "run.bat*";
    QTest::newRow("ampersand") << "R&D" << "amp.bat";
    QTest::newRow("marks in the folder") << "'90s & *old*" << "run.bat";
    QTest::newRow("blanks") << "my maps" << " run .bat";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Zürich Karten") << QString::fromUtf8("höhe.bat");
    QTest::newRow("Qt's title placeholder") << "a[*]b" << "x.bat";
}

void TestFileCommands::savesTheFileOnScreen()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    AppFixture f;
    QVERIFY(QDir(f.dir.path()).mkpath(folder));
    const QString file = f.writeFile(folder + QLatin1Char('/') + name, "old\r\n");
    app::frmEditor* editor = f.open(file);
    QVERIFY(editor);
    QCOMPARE(editor->caption(), QStringLiteral("'") + file);
    QCOMPARE(editor->windowTitle().replace(QStringLiteral("[*][*]"), QStringLiteral("[*]")), QStringLiteral("'") + file);
    // The recent-files entry shows the path as it is and opens that file.
    QCOMPARE(f.main->action(QStringLiteral("mn_1_1"))->text(), QStringLiteral("1: ") + QString(file).replace("&", "&&"));
    editor->Text1->moveCursor(QTextCursor::End);
    editor->insertAtCaret(QStringLiteral("one"));
    // An opened file is confirmed with Save File as, preset with its own path.
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_save");
    QCOMPARE(f.platform.dialog.shown.back().state.fileName, file);
    QCOMPARE(editor->caption(), file);
    editor->insertAtCaret(QStringLiteral(" two"));
    QCOMPARE(editor->caption(), file + QLatin1Char('*'));
    f.trigger("mn_save");
    QCOMPARE(int(f.platform.dialog.shown.size()), 1);
    QCOMPARE(editor->caption(), file);
    QCOMPARE(AppFixture::readFile(file), QByteArray("old\r\none two"));
    QCOMPARE(QDir(QFileInfo(file).path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(file).fileName()});
    f.trigger("mn_1_1");
    QCOMPARE(f.editor()->caption(), QStringLiteral("'") + file);
    QCOMPARE(f.editor()->text(), QStringLiteral("old\r\none two"));
}

void TestFileCommands::encodingSwitchNeedsConsent()
{
    AppFixture f;
    const QString file = f.writeFile("cp.bat", "\xe9\r\n");
    app::frmEditor* editor = f.open(file);
    editor->Text1->moveCursor(QTextCursor::End);
    editor->insertAtCaret(QString(QChar(0x4E2D)));
    f.platform.messages.answers.enqueue(platform::MessageAnswer::Cancel);
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_save");
    QCOMPARE(AppFixture::readFile(file), QByteArray("\xe9\r\n"));
    QVERIFY(editor->isModified());
    const auto& asked = f.platform.messages.shown.back();
    QCOMPARE(asked.buttons, platform::MessageButtons::OkCancel);
    QVERIFY(asked.text.contains(QStringLiteral("\r\n") + file + QStringLiteral("\r\n")));   // the path on a line of its own
    f.platform.messages.answers.enqueue(platform::MessageAnswer::Ok);
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_save");
    QCOMPARE(AppFixture::readFile(file), QByteArray("\xc3\xa9\r\n\xe4\xb8\xad"));
    QVERIFY(!editor->isModified());
}

void TestFileCommands::roundTripKeepsBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("appended");   // typed at the end before saving
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("CR LF, code page") << QByteArray("echo \xe9t\xe9\r\nREM \x80\r\n") << QString()
                                      << QByteArray("echo \xe9t\xe9\r\nREM \x80\r\n");
    QTest::newRow("LF, UTF-8") << QByteArray("a \xc3\xa9\nb\n") << QString() << QByteArray("a \xc3\xa9\nb\n");
    QTest::newRow("BOM kept") << QByteArray("\xef\xbb\xbf" "x\r\n") << QString() << QByteArray("\xef\xbb\xbf" "x\r\n");
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\nc\rd") << QString() << QByteArray("a\r\nb\nc\rd");
    QTest::newRow("no line end at the end") << QByteArray("x\r\ny") << QString() << QByteArray("x\r\ny");
    QTest::newRow("empty file") << QByteArray() << QString() << QByteArray();
    QTest::newRow("non-breaking space") << QByteArray("a\xa0" "b") << QString() << QByteArray("a\xa0" "b");
    QTest::newRow("edit keeps LF") << QByteArray("a\nb") << "\nc" << QByteArray("a\nb\nc");
    QTest::newRow("edit keeps code page") << QByteArray("\xe9\r\n") << QString(QChar(0xE8)) << QByteArray("\xe9\r\n\xe8");
    QTest::newRow("UTF-16 LE") << QByteArray("\xff\xfe" "a\0\r\0\n\0", 8) << QString() << QByteArray("\xff\xfe" "a\0\r\0\n\0", 8);
    QTest::newRow("edit keeps UTF-16 BE") << QByteArray("\xfe\xff\0" "a", 4) << QString(QChar(0x4E2D))
                                          << QByteArray("\xfe\xff\0" "a\x4e\x2d", 6);
    QTest::newRow("two byte-order marks") << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx") << QString()
                                          << QByteArray("\xef\xbb\xbf\xef\xbb\xbfx");
}

void TestFileCommands::roundTripKeepsBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, appended);
    QFETCH(QByteArray, saved);
    AppFixture f;
    const QString file = f.writeFile("round.bat", bytes);
    app::frmEditor* editor = f.open(file);
    QVERIFY(editor);
    QCOMPARE(editor->caption(), QStringLiteral("'") + file);
    if (!appended.isEmpty()) {
        editor->Text1->moveCursor(QTextCursor::End);
        editor->insertAtCaret(appended);
    }
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_save");
    QCOMPARE(AppFixture::readFile(file), saved);
    QVERIFY(f.platform.messages.shown.empty());
}

void TestFileCommands::failedSaveKeepsOldFileAndMark()
{
    AppFixture f;
    const QString file = f.writeFile("locked.bat", "old text");
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    app::frmEditor* editor = f.newEditor();
    editor->setCaption(file);
    editor->insertAtCaret(QStringLiteral("new text"));
    f.trigger("mn_save");
    QCOMPARE(AppFixture::readFile(file), QByteArray("old text"));
    QCOMPARE(editor->caption(), file + QLatin1Char('*'));
    QCOMPARE(int(f.platform.messages.shown.size()), 1);
    QVERIFY(f.platform.messages.shown.front().text.contains(file));
    QVERIFY(f.platform.messages.shown.front().text.contains(QStringLiteral("read-only")));
    QVERIFY(f.platform.messages.shown.front().text.endsWith(QStringLiteral("The old file is unchanged.")));
    // Into a folder that does not exist: there was no old file to speak of.
    editor->setCaption(f.path("missing/folder/x.bat*"));
    f.trigger("mn_save");
    QCOMPARE(int(f.platform.messages.shown.size()), 2);
    QVERIFY(!f.platform.messages.shown.back().text.contains(QStringLiteral("old file")));
    QVERIFY(editor->caption().endsWith('*'));
}

void TestFileCommands::unreadableFileReportsTheReason()
{
    AppFixture f;
    f.open(f.dir.path());   // a folder, not a file
    QCOMPARE(int(f.platform.messages.shown.size()), 1);
    const auto& shown = f.platform.messages.shown.front();
    QVERIFY(shown.text.startsWith(QStringLiteral("function: open_file_function:  ")));
    QVERIFY(shown.text.endsWith(QStringLiteral("\r\n\r\n") + f.dir.path()));   // names the file
    QCOMPARE(shown.title, QStringLiteral("Mapquill"));
    QCOMPARE(shown.icon, platform::MessageIcon::None);
    QVERIFY(f.main->editors().isEmpty());
}

void TestFileCommands::importInsertsAtTheCaret()
{
    AppFixture f;
    const QString file = f.writeFile("part.txt", "one\r\ntwo");
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(QStringLiteral("[]"));
    editor->Text1->moveCursor(QTextCursor::Left);
    f.platform.dialog.answers.enqueue(ScriptedDialog::accept(file));
    f.trigger("mn_import");
    QCOMPARE(editor->text(), QStringLiteral("[one\r\ntwo]"));
    QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
    QCOMPARE(f.caption("mn_1_1"), QStringLiteral("1: "));   // the list is not touched
    // Cancelled: nothing inserted.
    f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
    f.trigger("mn_import");
    QCOMPARE(editor->text(), QStringLiteral("[one\r\ntwo]"));
}

void TestFileCommands::printSendsTheText()
{
    AppFixture f;
    f.newEditor()->insertAtCaret(QStringLiteral("echo off\r\ngmtset"));
    f.platform.dialog.answers.enqueue(ScriptedDialog::Answer{});
    f.trigger("mn_print");
    QCOMPARE(f.platform.dialog.printed, QStringList{QStringLiteral("echo off\ngmtset")});
    f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
    f.trigger("mn_print");
    QCOMPARE(f.platform.dialog.printed.size(), 1);
}

void TestFileCommands::printsIntoAPdf()
{
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("script.pdf")));
    QVERIFY(platform::printPlainText(printer, QStringLiteral("echo off\ngmtset PAPER_MEDIA = a4\n")));
    const QByteArray pdf = AppFixture::readFile(dir.filePath(QStringLiteral("script.pdf")));
    QVERIFY(pdf.startsWith("%PDF"));
    QVERIFY(pdf.size() > 500);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
