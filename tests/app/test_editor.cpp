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
        QCOMPARE(f.panels(), QStringList({"Line: 1", "Column: 1", "Length: 1"}));
        QTest::keyClicks(editor->Text1, QStringLiteral("a"));
        QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
        QCOMPARE(f.panels(), QStringList({"Line: 1", "Column: 2", "Length: 1"}));
        QTest::keyClicks(editor->Text1, QStringLiteral("b"));
        QCOMPARE(editor->caption(), QStringLiteral("'Script*"));
        f.main->InsertAtCaret(QStringLiteral("x\r\ny\r\n"));
        QCOMPARE(f.panels(), QStringList({"Line: 3", "Column: 1", "Length: 3"}));
        QCOMPARE(editor->text(), QStringLiteral("abx\r\ny\r\n"));
        // A second window keeps its own caption.
        QCOMPARE(f.newEditor()->caption(), QStringLiteral("'Script"));
    }

    void positionCountsLineEndsAsTwoCharacters()
    {
        // Text "abc\r\nde\r\nf": editor positions count one character per line end.
        // With a selection reaching back over a line end, the column is measured
        // from the caret's line start to the selection start.
        const struct {
            int anchor, position;
            const char* shown;
        } rows[] = {{0, 0, "Line: 1|Column: 1"}, {6, 6, "Line: 2|Column: 3"}, {8, 8, "Line: 3|Column: 2"},
                    {1, 7, "Line: 3|Column: 9"}, {7, 1, "Line: 1|Column: 2"}};
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("abc\r\nde\r\nf"));
        for (const auto& row : rows) {
            AppFixture::select(editor, row.anchor, row.position);
            QCOMPARE(f.panels(), QString(row.shown + QStringLiteral("|Length: 3")).split('|'));
        }
    }

    void closingPrompt()
    {
        // "@": a document named after the target file; otherwise a new one.
        const struct {
            const char* caption;
            Answer answer;
            bool saveDialogAnswered, closed;
            int saveDialogs;
            bool written;
        } rows[] = {
            {"'Script", Answer::No, false, true, 0, false},
            {"'Script", Answer::Cancel, false, false, 0, false},
            {"'Script", Answer::Yes, true, true, 1, true},     // a new document asks for a name
            {"'Script", Answer::Yes, false, false, 1, false},  // then the save is cancelled
            {"@", Answer::Yes, false, true, 0, true},          // a named document saves at once
        };
        for (const auto& row : rows) {
            AppFixture f;
            const QString target = f.path("closing.bat");
            const QString caption = row.caption == QLatin1String("@") ? target : QLatin1String(row.caption);
            app::frmEditor* editor = f.newEditor();
            editor->setCaption(caption);
            editor->insertAtCaret(QStringLiteral("echo on"));
            f.platform.messages.answers.enqueue(row.answer);
            if (row.saveDialogAnswered) f.platform.dialog.answers.enqueue(ScriptedDialog::accept(target));
            QPointer<app::frmEditor> watched = editor;
            editor->parentWidget()->close();
            QCOMPARE(f.messages(), 1);
            QCOMPARE(f.message().text, "File  " + caption + "*  isn't saved.\r\n\r\nDo you want to save it?");
            QCOMPARE(int(f.platform.dialog.shown.size()), row.saveDialogs);
            QCOMPARE(read_file(target), row.written ? QByteArray("echo on") : QByteArray("<missing>"));
            if (row.closed) {
                QTRY_VERIFY(!watched);
            } else {
                QCOMPARE(watched->text(), QStringLiteral("echo on"));
                QVERIFY(watched->caption().endsWith('*'));
            }
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
        f.trigger("mn_undo");   // one undo step
        QCOMPARE(editor->text(), QString());
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
        // Snippet keys compare exactly; the face of a drop-down button does nothing.
        app::frmEditor* editor = f.newEditor();
        for (const char* key : {"If", "IF", "fordo ", "", "dos"}) f.main->Toolbar1_ButtonMenuClick(key);
        f.main->Toolbar1_ButtonClick("dos");
        QCOMPARE(editor->text(), QString());
    }

    // An inserted text replaces the selection and leaves the caret behind it. The
    // comment toggle's texts are its own; here the selection the editor hands it.
    void insertReplacesTheSelection()
    {
        const struct {
            const char* command;
            int from, to;
            const char* result;
        } rows[] = {{"mn_echo", 2, 3, "a\r\necho *\r\nc"}, {"mn_rem", 5, 5, "a\r\nb\r\ncREM "},
                    {"mn_rem", 0, 4, "REM a\r\nREM b\r\nc"}, {"mn_rem", 0, 3, "REM a\r\nREM b\r\nc"}};
        for (const auto& row : rows) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor(QStringLiteral("a\r\nb\r\nc"));
            AppFixture::select(editor, row.from, row.to);
            f.trigger(row.command);
            QCOMPARE(editor->text(), QLatin1String(row.result));
            QVERIFY(!editor->Text1->textCursor().hasSelection());
            if (row.from == 2) QCOMPARE(editor->Text1->textCursor().position(), 8);
        }
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
