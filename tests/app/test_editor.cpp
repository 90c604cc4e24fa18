// Editor windows (captions, the position display, insertion, the closing
// prompt, the Script menu's texts as they arrive) and the edit, font, colour,
// window and toolbar commands.
#include "app_fixture.h"
#include "app/frmstart.h"
#include "catalogue/script_templates.h"

#include <QClipboard>
#include <QLineEdit>
#include <QWindow>
#include <cmath>

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

    // Paste inserts the clipboard and one blank, as an undo step of its own.
    void paste()
    {
        const struct {
            const char *before, *clipboard, *after, *text, *undone;   // typed before and after the paste
        } rows[] = {{"", "abc", "", "abc ", ""},           {"", "", "", " ", ""},
                    {"", "a\r\nb", "", "a\r\nb ", ""},     {"ab", "xyz", "", "abxyz ", "ab"},
                    {"", "xyz", "cd", "xyz cd", "xyz "},   {"ab", "xyz", "cd", "abxyz cd", "abxyz "}};
        for (const auto& row : rows) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor();
            f.platform.clipboard.setText(QLatin1String(row.clipboard));
            QTest::keyClicks(editor->Text1, QLatin1String(row.before));
            f.trigger("mn_paste");
            QTest::keyClicks(editor->Text1, QLatin1String(row.after));
            QCOMPARE(editor->text(), QLatin1String(row.text));
            f.trigger("mn_undo");
            QCOMPARE(editor->text(), QLatin1String(row.undone));
        }
    }

    void shortcutsRunTheProgramsCommands()
    {
        AppFixture f;
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
        app::frmEditor* editor = f.newEditor();
        editor->Text1->setFocus();
        f.platform.clipboard.setText(QStringLiteral("xyz"));
        QTest::keyClick(editor->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral("xyz "));
        QTest::keyClick(editor->Text1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor->Text1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f.platform.clipboard.content, QStringLiteral("xyz "));
        QTest::keyClick(editor->Text1, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral("echo *"));
        // Ctrl+W starts the command window, as the menu says; Ctrl+F4 closes the editor.
        QTest::keyClick(editor->Text1, Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(f.platform.programs.commandWindows.size(), 1);
        QCOMPARE(f.main->editors().size(), 1);
        editor->setCaption(QStringLiteral("'Script"));
        QTest::keyClick(editor->Text1, Qt::Key_F4, Qt::ControlModifier);
        QTRY_VERIFY(f.main->editors().isEmpty());
        // The context menu's edit entries are the Edit menu's commands: Copy
        // reaches the program's clipboard.
        app::frmEditor* editor2 = f.newEditor(QStringLiteral("echo *"));
        for (const char* entry : {"select-all", "edit-copy"}) {
            QTimer::singleShot(0, [entry] {
                for (QAction* a : QApplication::activePopupWidget()->actions())
                    if (a->objectName() == QLatin1String(entry)) a->trigger();
                QApplication::activePopupWidget()->close();
            });
            emit editor2->Text1->customContextMenuRequested(QPoint(1, 1));
        }
        QCOMPARE(f.platform.clipboard.content, QStringLiteral("echo *"));
        QCOMPARE(editor2->text(), QStringLiteral("echo *"));
    }

    void toolWindowBoxesKeepTheirOwnKeys()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("editor text"));
        QWidget* tool = f.main->showWindow(QStringLiteral("lat_lon_conv"));
        QCOMPARE(tool->parentWidget(), f.main.get());   // owned by the main window
        QVERIFY(tool->isWindow());
        QCOMPARE(tool->windowHandle()->transientParent(), f.main->windowHandle());
        QVERIFY(QTest::qWaitForWindowActive(tool));
        auto* box = tool->findChild<QLineEdit*>(QStringLiteral("Text1"));
        box->setFocus();
        box->setText(QStringLiteral("45.5"));
        box->deselect();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->selectedText(), QStringLiteral("45.5"));
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("45.5"));
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(box->text(), QString());
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("45.5"));
        // None of these reached the editor or the program's clipboard.
        QCOMPARE(editor->text(), QStringLiteral("editor text"));
        QVERIFY(!editor->Text1->textCursor().hasSelection());
        QCOMPARE(f.platform.clipboard.clears, 0);
    }

    void copyCutAndSelectAll()
    {
        AppFixture f;
        f.platform.clipboard.setText(QStringLiteral("old"));
        f.trigger("mn_cut");   // no editor: the clipboard is cleared, nothing else happens
        QCOMPARE(f.platform.clipboard.content, QString());
        QCOMPARE(f.platform.clipboard.clears, 1);

        app::frmEditor* editor = f.newEditor();
        f.trigger("mn_mark_all");   // on empty text: nothing selected
        QVERIFY(!editor->Text1->textCursor().hasSelection());
        editor->insertAtCaret(QStringLiteral("one\r\ntwo"));
        f.platform.clipboard.setText(QStringLiteral("old"));
        f.trigger("mn_copy");   // nothing selected
        QVERIFY(f.platform.clipboard.hasText);
        QCOMPARE(f.platform.clipboard.content, QString());

        AppFixture::select(editor, 1, 5);
        f.trigger("mn_cut");
        QCOMPARE(f.platform.clipboard.content, QStringLiteral("ne\r\nt"));
        QCOMPARE(editor->text(), QStringLiteral("owo"));
        f.trigger("mn_undo");
        QCOMPARE(editor->text(), QStringLiteral("one\r\ntwo"));
        f.trigger("mn_mark_all");
        QCOMPARE(editor->selectedText(), QStringLiteral("one\r\ntwo"));
    }

    void fontIsStoredAndLaterApplied()
    {
        AppFixture f;
        app::frmEditor* made = f.newEditor();
        const QFont before = made->Text1->font();
        f.platform.dialog.answers.enqueue(ScriptedDialog::font(QStringLiteral("DejaVu Sans Mono"), 10.5));
        f.trigger("mn_font");
        QCOMPARE(made->Text1->font().pointSizeF(), 10.5);
        QCOMPARE(f.platform.settings.values.value({"Text", "Font_Size"}), QStringLiteral("10.5"));
        QCOMPARE(f.platform.settings.values.value({"Text", "Font_Name"}), QStringLiteral("DejaVu Sans Mono"));
        const auto& asked = f.platform.dialog.shown.back().state;
        QVERIFY(asked.cancelError && asked.screenFonts && asked.fontEffects);
        // Windows made by New keep the standard font; opened files take the stored one.
        QCOMPARE(f.newEditor()->Text1->font().pointSizeF(), before.pointSizeF());
        app::frmEditor* opened = f.open("f.bat", "x");
        QCOMPARE(opened->Text1->font().pointSize(), 10);
        QCOMPARE(opened->Text1->font().family(), QStringLiteral("DejaVu Sans Mono"));
    }

    void fontRefusedChangesNothing()
    {
        // Cancelled (no size), or a size out of range: nothing changes.
        for (const double size : {-1.0, 0.0, -9.0, 400.5, std::nan("")}) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor();
            const QFont before = editor->Text1->font();
            const size_t writes = f.platform.settings.writes.size();
            const bool accept = size != -1.0;
            f.platform.dialog.answers.enqueue(accept ? ScriptedDialog::font(QStringLiteral("DejaVu Sans Mono"), size)
                                                     : ScriptedDialog::cancel());
            f.trigger("mn_font");
            QCOMPARE(editor->Text1->font(), before);
            QCOMPARE(f.platform.settings.writes.size(), writes);
            QCOMPARE(f.messages(), accept ? 1 : 0);
            if (accept) QVERIFY(f.message().text.contains(QStringLiteral("between 1 and 400")));
        }
    }

    void colorIsStoredAsBgrValue()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor();
        f.platform.dialog.answers.enqueue(ScriptedDialog::color(0x00FF8000));   // blue 255, green 128, red 0
        f.trigger("mn_color");
        QCOMPARE(editor->Text1->palette().color(QPalette::Text), QColor(0, 128, 255));
        QCOMPARE(f.platform.settings.values.value({"Text", "Font_Color"}), QString::number(0x00FF8000));
        // The next colour dialog opens with the colour last chosen.
        f.platform.dialog.answers.enqueue(ScriptedDialog::cancel());
        f.trigger("mn_color");
        QCOMPARE(f.platform.dialog.shown.back().state.color, quint32(0x00FF8000));
    }

    void insertFileNameAndPath()
    {
        const struct {
            const char *button, *chosen, *inserted;
        } rows[] = {{"Name", "/maps/run.bat", "run "},       {"Name", "/maps/grid.lalo", "grid. "},
                    {"Name", "C:\\maps\\a.bc", " "},         {"Name", "/maps/a.b", ""},   // too short
                    {"Path", "/maps/run.bat", "/maps/run.bat "}};
        for (const auto& row : rows) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor();
            f.platform.dialog.state().fileName = QStringLiteral("/dev/full.bat");   // left by an earlier dialog
            f.platform.dialog.answers.enqueue(ScriptedDialog::accept(QLatin1String(row.chosen)));
            f.main->Toolbar1_ButtonClick(QLatin1String(row.button));
            // The path as the dialog gives it.
            QCOMPARE(editor->text(), QDir::toNativeSeparators(QLatin1String(row.inserted)));
            const auto& asked = f.platform.dialog.shown.back().state;
            QCOMPARE(asked.dialogTitle, QStringLiteral("Insert File %1 ...").arg(QLatin1String(row.button)));
            QCOMPARE(asked.filterIndex, 2);
            QCOMPARE(asked.initDir, QDir::currentPath());
            QCOMPARE(asked.fileName, QString());   // opens in the current folder, nothing preset
            QVERIFY(asked.filter.contains(QStringLiteral("|Grid Files (*.grd)|*.grd|Color Files(*.cpt)|*.cpt|")));
            QVERIFY(asked.filter.endsWith(QStringLiteral("|Awk scripts (*.awk)|*.awk|HDP-POST DTMl (*.DTMl)|*.DTMl")));
        }
    }

    void toolbarDispatchesByKey()
    {
        AppFixture f;
        f.main->Toolbar1_ButtonClick("New");
        QCOMPARE(f.main->editors().size(), 1);
        f.main->Toolbar1_ButtonClick("new");   // keys compare exactly
        QCOMPARE(f.main->editors().size(), 1);
        f.platform.clipboard.setText(QStringLiteral("p"));
        f.main->Toolbar1_ButtonClick("Paste");
        QCOMPARE(f.editor()->text(), QStringLiteral("p "));
        f.main->Toolbar1_ButtonClick("Undo");
        QCOMPARE(f.editor()->text(), QString());
        // The command window: a failure to start one is reported.
        f.trigger("mn_open_command");
        QCOMPARE(f.platform.programs.commandWindows, QStringList{QDir::currentPath()});
        QCOMPARE(f.messages(), 0);
        f.platform.programs.succeed = false;
        f.main->Toolbar1_ButtonClick("cmd");
        QCOMPARE(f.messages(), 1);
        QVERIFY(f.main->isVisible());
    }

    void windowArrangements()
    {
        AppFixture f;
        QWidget* about = f.main->aboutWindow()->parentWidget();
        QWidget* subA = f.newEditor()->parentWidget();
        QWidget* subB = f.newEditor()->parentWidget();
        const QRect aboutPlace = about->geometry();
        const QSize area = f.main->mdiArea()->viewport()->size();
        // Tiling shares the area between the editors only; the About window
        // keeps its size and place.
        f.trigger("mn_horizontal");
        QCOMPARE(subA->width(), subB->width());
        QCOMPARE(subA->height() + subB->height(), area.height());
        QVERIFY(subA->y() != subB->y());
        QCOMPARE(about->geometry(), aboutPlace);
        f.trigger("mn_vertical");
        QCOMPARE(subA->height(), subB->height());
        QCOMPARE(subA->width() + subB->width(), area.width());
        QVERIFY(subA->x() != subB->x());
        QCOMPARE(about->geometry(), aboutPlace);
        // In a main window smaller than the About window it stays in view.
        f.main->resize(300, 200);
        QTRY_VERIFY(f.main->mdiArea()->viewport()->width() < about->width());
        QCOMPARE(about->pos(), QPoint(0, 0));
        f.main->resize(1000, 700);
        f.trigger("mn_cascade");
        QVERIFY(subA->pos() != subB->pos());
        subA->showMinimized();
        f.trigger("mn_icons");
        QVERIFY(subA->y() > subB->y());
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
