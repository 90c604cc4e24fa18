// Editor windows: captions, the position display, insertion, the closing
// prompt and the Script menu's texts as they arrive in an editor.
#include "app_fixture.h"
#include "catalogue/script_templates.h"

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void captionMarksAndPosition()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor();
        QCOMPARE(editor->caption(), QStringLiteral("'Script"));
        const auto panels = [&] { return QStringList{f.panel(2), f.panel(3), f.panel(4)}; };
        QCOMPARE(panels(), QStringList({"Line: 1", "Column: 1", "Length: 1"}));
        QTest::keyClicks(editor->Text1, QStringLiteral("a"));
        QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
        QCOMPARE(panels(), QStringList({"Line: 1", "Column: 2", "Length: 1"}));
        QTest::keyClicks(editor->Text1, QStringLiteral("b"));
        QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
        f.main->InsertAtCaret(QStringLiteral("x\r\ny\r\n"));
        QCOMPARE(panels(), QStringList({"Line: 3", "Column: 1", "Length: 3"}));
        QCOMPARE(editor->text(), QStringLiteral("abx\r\ny\r\n"));
        // A second window keeps its own caption.
        QCOMPARE(f.newEditor()->caption(), QStringLiteral("'Script"));
    }

    void positionCountsLineEndsAsTwoCharacters_data()
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
    void positionCountsLineEndsAsTwoCharacters()
    {
        QFETCH(int, anchor);
        QFETCH(int, position);
        QFETCH(QString, line);
        QFETCH(QString, column);
        AppFixture f;
        AppFixture::select(f.newEditor(QStringLiteral("abc\r\nde\r\nf")), anchor, position);
        QCOMPARE(QStringList({f.panel(2), f.panel(3), f.panel(4)}), QStringList({line, column, "Length: 3"}));
    }

    void insertReplacesTheSelection()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("one two three"));
        AppFixture::select(editor, 4, 7);
        f.trigger("mn_echo");
        QCOMPARE(editor->text(), QStringLiteral("one echo * three"));
        QCOMPARE(editor->Text1->textCursor().position(), 10);
        QVERIFY(!editor->Text1->textCursor().hasSelection());
    }

    void closingPrompt_data()
    {
        QTest::addColumn<QString>("caption");   // before the change; "@": the target file
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
    void closingPrompt()
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
        QCOMPARE(f.messages(), 1);
        QCOMPARE(f.message().text, "File  " + caption + "*  isn't saved.\r\n\r\nDo you want to save it?");
        QCOMPARE(int(f.platform.dialog.shown.size()), saveDialogs);
        QCOMPARE(read_file(target), written ? QByteArray("echo on") : QByteArray("<missing>"));
        if (closed) {
            QTRY_VERIFY(!watched);
        } else {
            QVERIFY(watched);
            QCOMPARE(watched->text(), QStringLiteral("echo on"));
            QVERIFY(watched->caption().endsWith('*'));
        }
    }

    // Every Script menu entry and snippet inserts its text byte for byte.
    void insertedTexts_data()
    {
        const QString expectedDir = QStringLiteral(MQ_TEST_DATA_DIR "/../catalogue/expected/");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("focus");
        QMap<QString, bool> focus;
        const QList<QByteArray> pieces = read_file(expectedDir + QStringLiteral("pieces.txt")).split('\n');
        for (const QByteArray& line : pieces) {
            const QList<QByteArray> fields = line.trimmed().split(' ');
            if (fields.size() == 3) focus.insert(QString::fromLatin1(fields[0]), fields[2] == "1");
        }
        QVERIFY(focus.size() > 40);
        for (auto it = focus.cbegin(); it != focus.cend(); ++it)
            QTest::newRow(qPrintable(it.key())) << it.key() << read_file(expectedDir + it.key() + ".txt") << it.value();
    }
    void insertedTexts()
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
            QVERIFY2(f.main->action(name), qPrintable(name));
            f.trigger(name);
        }
        const QByteArray actual = editor->text().toUtf8();
        if (const qsizetype at = expected.indexOf("@DATETIME@"); at >= 0) {
            // The date and time of the insertion stand where the file has its marker.
            const QByteArray before = expected.left(at), after = expected.mid(at + 10);
            QVERIFY(actual.startsWith(before));
            QVERIFY(actual.endsWith(after));
            const QByteArray stamp = actual.mid(before.size(), actual.size() - before.size() - after.size());
            QVERIFY2(stamp.contains("  /  ") && !stamp.contains('\n'), stamp.constData());
        } else {
            QCOMPARE(actual, expected);
        }
        QVERIFY(editor->Text1->textCursor().atEnd());
        QVERIFY(editor->caption().endsWith('*'));
        if (!focus) QVERIFY(!editor->Text1->hasFocus());
    }

    void templateIsOneUndoStep()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("keep"));
        f.trigger("mn_gmt_settings");
        QVERIFY(editor->text().size() > 100);
        f.trigger("mn_undo");
        QCOMPARE(editor->text(), QStringLiteral("keep"));
    }

    void commandsWithoutEditorDoNothing()
    {
        AppFixture f;
        for (const auto& tpl : catalogue::scriptTemplates())
            f.trigger(QString::fromUtf8(tpl.name.data(), qsizetype(tpl.name.size())));
        f.trigger("mn_rem");
        f.main->Toolbar1_ButtonMenuClick("if");
        QVERIFY(f.platform.messages.shown.empty());
        QVERIFY(f.main->editors().isEmpty());
        QVERIFY(f.main->aboutWindow());   // the About window is the active child: nothing goes into it
    }

    // The texts themselves are the comment toggle's; here the selection the editor hands it.
    void remToggleInEditor_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("result");
        QTest::newRow("nothing selected") << 5 << 5 << "a\r\nb\r\ncREM ";
        QTest::newRow("two whole lines") << 0 << 4 << "REM a\r\nREM b\r\nc";
        QTest::newRow("without the last line end") << 0 << 3 << "REM a\r\nREM b\r\nc";
    }
    void remToggleInEditor()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, result);
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("a\r\nb\r\nc"));
        AppFixture::select(editor, from, to);
        f.trigger("mn_rem");
        QCOMPARE(editor->text(), result);
        QVERIFY(!editor->Text1->textCursor().hasSelection());
    }

    void snippetKeysCompareExactly()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor();
        for (const char* key : {"If", "IF", "fordo ", "", "dos"}) f.main->Toolbar1_ButtonMenuClick(key);
        f.main->Toolbar1_ButtonClick("dos");   // the face of a drop-down button does nothing
        QCOMPARE(editor->text(), QString());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
