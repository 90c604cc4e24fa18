// Editor windows: captions, the position display, insertion, the closing
// prompt and the Script menu's texts as they arrive in an editor.
#include "app_fixture.h"
#include "catalogue/script_templates.h"

#include <QDirIterator>
#include <QRegularExpression>

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

namespace {

const QString kExpectedDir = QStringLiteral(MQ_TEST_DATA_DIR "/../catalogue/expected/");

}  // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void captionMarksAndPosition();
    void positionCountsLineEndsAsTwoCharacters_data();
    void positionCountsLineEndsAsTwoCharacters();
    void insertReplacesTheSelection();
    void closingPrompt_data();
    void closingPrompt();
    void insertedTexts_data();
    void insertedTexts();
    void templateIsOneUndoStep();
    void commandsWithoutEditorDoNothing();
    void remToggleInEditor_data();
    void remToggleInEditor();
    void snippetKeysCompareExactly();
};

void TestEditor::captionMarksAndPosition()
{
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    QCOMPARE(editor->caption(), QStringLiteral("'Script"));
    QCOMPARE(f.panel(2), QStringLiteral("Line: 1"));
    QCOMPARE(f.panel(3), QStringLiteral("Column: 1"));
    QCOMPARE(f.panel(4), QStringLiteral("Length: 1"));
    QTest::keyClicks(editor->Text1, QStringLiteral("a"));
    QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
    QCOMPARE(f.panel(3), QStringLiteral("Column: 2"));
    QTest::keyClicks(editor->Text1, QStringLiteral("b"));
    QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
    f.main->InsertAtCaret(QStringLiteral("x\r\ny\r\n"));
    QCOMPARE(f.panel(4), QStringLiteral("Length: 3"));
    QCOMPARE(f.panel(2), QStringLiteral("Line: 3"));
    QCOMPARE(editor->text(), QStringLiteral("abx\r\ny\r\n"));
    // A second window keeps its own caption.
    QCOMPARE(f.newEditor()->caption(), QStringLiteral("'Script"));
}

void TestEditor::positionCountsLineEndsAsTwoCharacters_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("column");
    // Text "abc\r\nde\r\nf": editor positions count one character per line end.
    QTest::newRow("start") << 0 << 0 << "Line: 1" << "Column: 1";
    QTest::newRow("second line end") << 6 << 6 << "Line: 2" << "Column: 3";
    QTest::newRow("third line") << 8 << 8 << "Line: 3" << "Column: 2";
    // With a selection reaching back over a line end, the column is measured
    // from the caret's line start to the selection start.
    QTest::newRow("selection from line 1") << 1 << 7 << "Line: 3" << "Column: 9";
    QTest::newRow("selection backwards") << 7 << 1 << "Line: 1" << "Column: 2";
}

void TestEditor::positionCountsLineEndsAsTwoCharacters()
{
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, line);
    QFETCH(QString, column);
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(QStringLiteral("abc\r\nde\r\nf"));
    QTextCursor cursor = editor->Text1->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(cursor);
    QCOMPARE(f.panel(2), line);
    QCOMPARE(f.panel(3), column);
    QCOMPARE(f.panel(4), QStringLiteral("Length: 3"));
}

void TestEditor::insertReplacesTheSelection()
{
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(QStringLiteral("one two three"));
    QTextCursor cursor = editor->Text1->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(cursor);
    f.trigger("mn_echo");
    QCOMPARE(editor->text(), QStringLiteral("one echo * three"));
    QCOMPARE(editor->Text1->textCursor().position(), 10);
    QVERIFY(!editor->Text1->textCursor().hasSelection());
}

void TestEditor::closingPrompt_data()
{
    QTest::addColumn<QString>("caption");      // before the change
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("saveDialogAnswered");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("saveDialogs");
    QTest::addColumn<bool>("written");
    QTest::newRow("no") << "'Script" << Answer::No << false << true << 0 << false;
    QTest::newRow("cancel") << "'Script" << Answer::Cancel << false << false << 0 << false;
    QTest::newRow("yes on a new document asks for a name") << "'Script" << Answer::Yes << true << true << 1 << true;
    QTest::newRow("yes, then the save is cancelled") << "'Script" << Answer::Yes << false << false << 1 << false;
    QTest::newRow("yes on a named document saves at once") << "@" << Answer::Yes << false << true << 0 << true;
}

void TestEditor::closingPrompt()
{
    QFETCH(QString, caption);
    QFETCH(Answer, answer);
    QFETCH(bool, saveDialogAnswered);
    QFETCH(bool, closed);
    QFETCH(int, saveDialogs);
    QFETCH(bool, written);
    AppFixture f;
    const QString target = f.path("closing.bat");
    app::frmEditor* editor = f.newEditor();
    if (caption == QLatin1String("@")) caption = target;
    editor->setCaption(caption);
    editor->insertAtCaret(QStringLiteral("echo on"));
    f.platform.messages.answers.enqueue(answer);
    if (saveDialogAnswered) f.platform.dialog.answers.enqueue(ScriptedDialog::accept(target));
    QPointer<app::frmEditor> watched = editor;
    editor->parentWidget()->close();
    QCOMPARE(int(f.platform.messages.shown.size()), 1);
    QCOMPARE(f.platform.messages.shown.front().text,
             QStringLiteral("File  ") + caption + QStringLiteral("*  isn't saved.\r\n\r\nDo you want to save it?"));
    QCOMPARE(int(f.platform.dialog.shown.size()), saveDialogs);
    QCOMPARE(QFile::exists(target), written);
    if (written) QCOMPARE(AppFixture::readFile(target), QByteArray("echo on"));
    if (closed) {
        QTRY_VERIFY(!watched);
    } else {
        QVERIFY(watched);
        QCOMPARE(watched->text(), QStringLiteral("echo on"));
        QVERIFY(watched->caption().endsWith('*'));
    }
}

void TestEditor::insertedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("focus");
    QMap<QString, bool> focus;
    QFile pieces(kExpectedDir + QStringLiteral("pieces.txt"));
    QVERIFY(pieces.open(QIODevice::ReadOnly));
    while (!pieces.atEnd()) {
        const QList<QByteArray> fields = pieces.readLine().trimmed().split(' ');
        if (fields.size() == 3) focus.insert(QString::fromLatin1(fields[0]), fields[2] == "1");
    }
    QVERIFY(focus.size() > 40);
    for (auto it = focus.cbegin(); it != focus.cend(); ++it) {
        QFile file(kExpectedDir + it.key() + QStringLiteral(".txt"));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(it.key()));
        QTest::newRow(qPrintable(it.key())) << it.key() << file.readAll() << it.value();
    }
}

void TestEditor::insertedTexts()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, expected);
    QFETCH(bool, focus);
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    f.main->activateWindow();
    editor->Text1->clearFocus();
    if (name.startsWith(QLatin1String("snippet_"))) {
        f.main->Toolbar1_ButtonMenuClick(name.mid(8));
    } else {
        QAction* a = f.main->action(name);
        QVERIFY2(a, qPrintable(name));
        a->trigger();
    }
    const QByteArray actual = editor->text().toUtf8();
    if (expected.contains("@DATETIME@")) {
        // The date and time of the insertion stand where the file has its marker.
        const qsizetype at = expected.indexOf("@DATETIME@");
        const QByteArray before = expected.left(at), after = expected.mid(at + 10);
        QVERIFY(actual.startsWith(before));
        QVERIFY(actual.endsWith(after));
        const QByteArray stamp = actual.mid(before.size(), actual.size() - before.size() - after.size());
        QVERIFY2(stamp.contains("  /  "), stamp.constData());
        QVERIFY(!stamp.contains('\n'));
    } else {
        QCOMPARE(actual, expected);
    }
    QVERIFY(editor->Text1->textCursor().atEnd());
    QVERIFY(editor->caption().endsWith('*'));
    if (!focus) QVERIFY(!editor->Text1->hasFocus());
}

void TestEditor::templateIsOneUndoStep()
{
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(QStringLiteral("keep"));
    f.trigger("mn_gmt_settings");
    QVERIFY(editor->text().size() > 100);
    f.main->mn_undo_Click();
    QCOMPARE(editor->text(), QStringLiteral("keep"));
}

void TestEditor::commandsWithoutEditorDoNothing()
{
    AppFixture f;
    for (const auto& tpl : catalogue::scriptTemplates())
        f.main->action(QString::fromUtf8(tpl.name.data(), qsizetype(tpl.name.size())))->trigger();
    f.trigger("mn_rem");
    f.main->Toolbar1_ButtonMenuClick("if");
    QVERIFY(f.platform.messages.shown.empty());
    QVERIFY(f.main->editors().isEmpty());
    QVERIFY(f.main->aboutWindow());   // the About window is the active child: nothing goes into it
}

void TestEditor::remToggleInEditor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("result");
    QTest::newRow("nothing selected") << "abc" << 3 << 3 << "abcREM ";
    QTest::newRow("two whole lines") << "a\r\nb\r\nc" << 0 << 4 << "REM a\r\nREM b\r\nc";
    QTest::newRow("without the last line end") << "a\r\nb\r\nc" << 0 << 3 << "REM a\r\nREM b\r\nc";
    QTest::newRow("back again") << "REM a\r\nREM b\r\nc" << 0 << 12 << "a\r\nb\r\nc";
    QTest::newRow("lower case is not a comment") << "rem a" << 0 << 5 << "REM rem a";
}

void TestEditor::remToggleInEditor()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, result);
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    editor->insertAtCaret(text);
    QTextCursor cursor = editor->Text1->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    editor->Text1->setTextCursor(cursor);
    f.trigger("mn_rem");
    QCOMPARE(editor->text(), result);
    QVERIFY(!editor->Text1->textCursor().hasSelection());
}

void TestEditor::snippetKeysCompareExactly()
{
    AppFixture f;
    app::frmEditor* editor = f.newEditor();
    for (const char* key : {"If", "IF", "fordo ", "", "dos"}) f.main->Toolbar1_ButtonMenuClick(key);
    QCOMPARE(editor->text(), QString());
    f.main->Toolbar1_ButtonClick("dos");   // the face of a drop-down button does nothing
    QCOMPARE(editor->text(), QString());
}

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
