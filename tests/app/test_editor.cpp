// Editor windows (captions, the position display, insertion, the closing
// prompt, the Script menu's texts as they arrive) and the edit, find, font,
// colour, window and toolbar commands; most as steps in data/editor_steps.txt.
#include "app_fixture.h"
#include "step_script.h"
#include "window_state.h"
#include "app/editor_comforts.h"
#include "app/find_bar.h"
#include "app/frmstart.h"
#include "catalogue/script_templates.h"

#include <QCheckBox>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QSpinBox>
#include <QWindow>
#include <optional>

using namespace mq;
using namespace mq::testing;
using Answer = platform::MessageAnswer;

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    // The cases of data/editor_steps.txt (its head describes the steps), each
    // in a fresh main window.
    void steps()
    {
        const QMap<QString, Answer> answers{
            {"Yes", Answer::Yes}, {"No", Answer::No}, {"Cancel", Answer::Cancel}};
        std::optional<AppFixture> f;
        app::FindBar* bar = nullptr;
        const auto value = [&](const QString& item) -> QString {
            app::frmEditor* editor = f->editor();
            const QTextCursor cursor = editor ? editor->Text1->textCursor() : QTextCursor();
            if (item == "text") return editor->text();
            if (item == "caption") return editor->caption();
            if (item == "panels") return f->panels().join(", ");
            if (item == "selection") return editor->selectedText();
            if (item == "caret") return QString::number(cursor.position());
            if (item == "found") return QString::number(cursor.hasSelection() ? cursor.selectionStart() : -1);
            if (item == "font") {   // the family only when it is the one the dialog gives
                const QFont font = editor->Text1->font();
                return (font.family() == "DejaVu Sans Mono" ? font.family() : "standard") + ' ' +
                       QString::number(font.pointSizeF());
            }
            if (item == "colour") return editor->Text1->palette().color(QPalette::Text).name();
            if (item == "clipboard") return f->platform.clipboard.content;
            if (item == "clears") return QString::number(f->platform.clipboard.clears);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);   // closed windows go
            if (item == "editors") return QString::number(f->main->editors().size());
            if (item == "messages") return QString::number(f->messages());
            if (item == "message") return f->message().text;
            if (item == "box")
                return f->message().title + ' ' + QString::number(int(f->message().icon)) + ' ' +
                       QString::number(int(f->message().buttons));
            if (item == "dialogs") return QString::number(f->platform.dialog.shown.size());
            if (item == "dialog") return dialog_line(f->platform.dialog.shown.back());
            if (item == "printed") return f->platform.dialog.printed.join('|');
            if (item == "writes") return QString::number(f->platform.settings.writes.size());
            if (item == "commands") return f->platform.programs.commandWindows.join('|');
            if (item == "recent") return f->caption("mn_1_1");
            if (item == "visible") return QString::number(f->main->isVisible());
            if (item == "replacing") return QString::number(bar->replaceBox->isVisible());
            if (item == "note")
                return bar->note() + (bar->statusNote() == bar->note() ? "" : " | status differs");
            if (item.startsWith("file:")) return QString::fromUtf8(read_file(f->path(item.mid(5))));
            if (item.startsWith("setting:"))
                return f->platform.settings.get(item.section(':', 1).section('/', 0, 0),
                                                item.section('/', 1));
            return "<no such item " + item + ">";
        };
        const auto show = [&](const QString& item) {
            const QString dir = f->dir.path();
            return value(item).replace(QDir::toNativeSeparators(dir), "<dir>").replace(dir, "<dir>");
        };
        const auto setOptions = [&](int options) {   // 1 match case, 2 whole word, 4 regular expression
            bar->matchCase->setChecked(options & 1);
            bar->wholeWord->setChecked(options & 2);
            bar->regularExpression->setChecked(options & 4);
        };
        const auto start = [&] {
            f.emplace();
            bar = f->main->findChild<app::EditorComforts*>()->findBar();
        };
        const auto act = [&](const Step& step) {
            const QString word = step.word(0), rest = step.text();
            const QString text = rest.startsWith('@') ? f->path(rest.mid(1)) : rest;
            const QString& verb = step.verb;
            if (verb == "new") f->newEditor(text);
            else if (verb == "type") QTest::keyClicks(f->editor()->Text1, text);
            else if (verb == "insert") f->main->InsertAtCaret(text);
            else if (verb == "select") AppFixture::select(f->editor(), word.toInt(), step.word(1).toInt());
            else if (verb == "trigger") f->trigger(word);
            else if (verb == "button") f->main->Toolbar1_ButtonClick(word);
            else if (verb == "clipboard") f->platform.clipboard.setText(text);
            else if (verb == "caption") f->editor()->setCaption(text);
            else if (verb == "file") f->writeFile(word, step.text(1).toUtf8());
            else if (verb == "bytes") f->writeFile(word, step.text(1).toLatin1());
            else if (verb == "accept") f->platform.dialog.answers.enqueue(ScriptedDialog::accept(text));
            else if (verb == "cancel") f->platform.dialog.answers.enqueue(ScriptedDialog::cancel());
            else if (verb == "font")
                f->platform.dialog.answers.enqueue(ScriptedDialog::font("DejaVu Sans Mono", word.toDouble()));
            else if (verb == "color")
                f->platform.dialog.answers.enqueue(ScriptedDialog::color(word.toUInt()));
            else if (verb == "preset" && word == "name") f->platform.dialog.state().fileName = step.text(1);
            else if (verb == "preset" && word == "ext") f->platform.dialog.state().defaultExt = step.word(1);
            else if (verb == "programs") f->platform.programs.succeed = false;
            else if (verb == "answer") f->platform.messages.answers.enqueue(answers.value(word));
            else if (verb == "open") f->open(text);
            else if (verb == "close") f->editor()->parentWidget()->close();
            else if (verb == "key") {   // a key in the active editor's text box, the main window active
                f->main->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(f->main.get()));
                f->editor()->Text1->setFocus();
                const QKeyCombination key = QKeySequence(word)[0];
                QTest::keyClick(f->editor()->Text1, key.key(), key.keyboardModifiers());
            } else if (verb == "goto") {   // Go to Line, typing N into its dialog
                QTimer::singleShot(0, [&] {
                    auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                    QVERIFY(dialog);
                    auto* box = dialog->findChild<QSpinBox*>();
                    box->selectAll();
                    QTest::keyClicks(box, word);
                    dialog->accept();
                });
                f->trigger("mn_go_to_line");
            } else if (verb == "find") {
                f->trigger("mn_find");
                bar->findBox->setText(unescape_step(word));
                setOptions(step.word(1).toInt());
            } else if (verb == "replace") {
                bar->findBox->setText(unescape_step(word));
                bar->replaceBox->setText(unescape_step(step.word(1)));
                setOptions(step.word(2).toInt());
                bar->replaceAllMatches();
            } else
                QFAIL(qPrintable("no such step " + verb));
        };
        run_steps(MQ_TEST_DATA_DIR "/data/editor_steps.txt", start, act, show);
        f.reset();
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

    // The context menu's edit entries are the Edit menu's commands: Copy
    // reaches the program's clipboard.
    void contextMenuRunsTheEditCommands()
    {
        AppFixture f;
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
