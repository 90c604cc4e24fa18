// Syntax highlighting, find and replace, Go to Line, and files opened from
// outside the program.
#include "app/editor_comforts.h"
#include "app/find_bar.h"
#include "app/syntax_highlighter.h"
#include "app/text_search.h"
#include "app_fixture.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>

using namespace mq;
using namespace mq::testing;

namespace {

app::EditorComforts* comforts(const AppFixture& f) { return f.main->findChild<app::EditorComforts*>(); }

// Whether any line of the editor carries colours.
bool coloured(app::frmEditor* editor)
{
    for (QTextBlock b = editor->Text1->document()->begin(); b.isValid(); b = b.next())
        if (!b.layout()->formats().isEmpty()) return true;
    return false;
}

}  // namespace

class TestEditorComforts : public QObject {
    Q_OBJECT
private slots:
    void highlightingKeepsBytesAndState_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("colours");
        const QByteArray bat = "@echo off\r\nREM Gr\xfc\xdf" "e\r\ngrdimage %grd_file%.grd -JM15c -K > %ps_file%.ps\r\n";
        QTest::newRow("bat, CR LF, code page") << "run.bat" << bat << true;
        QTest::newRow("bat, mixed line ends, no last line end")
            << "mixed.bat" << QByteArray("for %%i in (*.grd) do echo %%i\nset a=1\r\n:end") << true;
        QTest::newRow("awk, UTF-8 with BOM") << "pick.awk" << QByteArray("\xef\xbb\xbf{ print $1 } # \xc3\xa9\n") << true;
        QTest::newRow("cpt") << "relief.cpt" << QByteArray("# cpt\n0 0/0/0 10 255/255/255\nB black\n") << true;
        QTest::newRow("txt stays plain") << "notes.txt" << QByteArray("REM -R %x%\r\n") << false;
        QTest::newRow("bat line over 10000 characters stays plain")
            << "long.bat" << QByteArray("psxy -R1/2/3/4 ").repeated(700) << false;
    }
    void highlightingKeepsBytesAndState()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, colours);
        AppFixture f;
        const QString file = f.writeFile(name, bytes);
        app::frmEditor* editor = f.open(file);
        // The colouring runs from the event loop.
        QCoreApplication::processEvents();
        QTRY_COMPARE(coloured(editor), colours);
        // Switching it off and on colours again without touching the text.
        f.trigger(QStringLiteral("mn_syntax_highlighting"));
        QVERIFY(!coloured(editor));
        QCOMPARE(f.platform.settings.get("Text", "Syntax_Highlighting"), QStringLiteral("0"));
        f.trigger(QStringLiteral("mn_syntax_highlighting"));
        QCoreApplication::processEvents();
        QTRY_COMPARE(coloured(editor), colours);
        QVERIFY(!editor->isModified());
        QVERIFY(!editor->caption().endsWith(QLatin1Char('*')));
        // Saved unchanged, the file keeps its bytes.
        f.trigger(QStringLiteral("mn_save"));
        QCOMPARE(read_file(file), bytes);
    }

    void find()
    {
        const QString wrapped = QStringLiteral("Passed the end: searching on from the beginning.");
        const QString notFound = QStringLiteral("\"%1\" was not found.");
        const struct {
            QString pattern;
            int options;   // 1 match case, 2 whole word, 4 regular expression
            int caret;
            bool backward;
            int foundAt;   // -1: not found
            QString note;
        } rows[] = {
            // Text: "psxy -R a\nPSXY b\npsxyz c\n"; offsets 0, 10, 17.
            {"psxy", 0, 1, false, 10, {}},
            {"psxy", 1, 1, false, 17, {}},        // match case skips PSXY
            {"psxy", 3, 1, false, 0, wrapped},    // whole word skips psxyz, wraps
            {"-R", 2, 0, false, 5, {}},           // a whole word that starts with a sign
            {"psxy", 0, 0, true, 17, QStringLiteral("Passed the beginning: searching on from the end.")},
            {"^\\w+ [bc]$", 4, 0, false, 10, {}},
            {"grdview", 0, 5, false, -1, notFound.arg("grdview")},
            {"(", 4, 0, false, -1, QStringLiteral("The regular expression is not valid: missing closing parenthesis.")},
            {"q*", 4, 0, false, -1, notFound.arg("q*")},   // empty matches only
        };
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("psxy -R a\r\nPSXY b\r\npsxyz c\r\n"));
        for (const auto& row : rows) {
            AppFixture::select(editor, row.caret, row.caret);
            f.trigger(QStringLiteral("mn_find"));
            app::FindBar* bar = comforts(f)->findBar();
            QVERIFY(bar->isVisible());
            bar->findBox->setText(row.pattern);
            bar->matchCase->setChecked(row.options & 1);
            bar->wholeWord->setChecked(row.options & 2);
            bar->regularExpression->setChecked(row.options & 4);
            f.trigger(row.backward ? QStringLiteral("mn_find_previous") : QStringLiteral("mn_find_next"));
            const QTextCursor after = editor->Text1->textCursor();
            QCOMPARE(after.hasSelection() ? after.selectionStart() : -1, row.foundAt);
            QCOMPARE(bar->note(), row.note);
            QCOMPARE(bar->statusNote(), row.note);
        }
    }

    void replaceAllIsOneUndoStep()
    {
        AppFixture f;
        const QString text = QStringLiteral("set a=1\r\nset bb=22\r\nREM c=3\r\n");
        app::frmEditor* editor = f.newEditor(text);
        f.trigger(QStringLiteral("mn_replace_text"));
        app::FindBar* bar = comforts(f)->findBar();
        QVERIFY(bar->replaceBox->isVisible());
        const struct {
            bool regularExpression, undo;
            const char *find, *replacement;
            int count;
            const char* result;
        } rounds[] = {
            {true, true, "^set (\\w+)=(\\d+)", "set \\2=\\1\\\\", 2, "set 1=a\\\r\nset 22=bb\\\r\nREM c=3\r\n"},
            // A replacement that matches again is not replaced again.
            {false, true, "a", "aa", 1, "set aa=1\r\nset bb=22\r\nREM c=3\r\n"},
            // Empty matches count too: "^" starts every line but the empty one after the last line end.
            {true, false, "^", "REM ", 3, "REM set a=1\r\nREM set bb=22\r\nREM REM c=3\r\n"},
            {true, false, "\\d*$", "<\\0>", 3, "REM set a=<1>\r\nREM set bb=<22>\r\nREM REM c=<3>\r\n"},
        };
        for (const auto& round : rounds) {
            bar->regularExpression->setChecked(round.regularExpression);
            bar->findBox->setText(QLatin1String(round.find));
            bar->replaceBox->setText(QLatin1String(round.replacement));
            QCOMPARE(bar->replaceAllMatches(), round.count);
            QCOMPARE(editor->text(), QLatin1String(round.result));
            const QString plural = round.count > 1 ? QStringLiteral("s") : QString();
            QCOMPARE(bar->note(), QStringLiteral("Replaced %1 occurrence%2.").arg(round.count).arg(plural));
            if (!round.undo) continue;
            f.trigger(QStringLiteral("mn_undo"));   // one step
            QCOMPARE(editor->text(), text);
        }
    }

    void goToLineStaysInTheDocument()
    {
        const QList<QPair<QString, int>> rows = {{"2", 2}, {"4", 4}, {"99", 4}, {"1099511627776", 4}};
        for (const auto& [typed, expected] : rows) {
            AppFixture f;
            app::frmEditor* editor = f.newEditor(QStringLiteral("a\r\nb\r\nc\r\nlast"));
            QTimer::singleShot(0, [&] {
                auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto* box = dialog->findChild<QSpinBox*>();
                box->selectAll();
                QTest::keyClicks(box, typed);
                dialog->accept();
            });
            f.trigger(QStringLiteral("mn_go_to_line"));
            QCOMPARE(editor->Text1->textCursor().blockNumber() + 1, expected);
            QCOMPARE(editor->Text1->textCursor().positionInBlock(), 0);
            QCOMPARE(f.panel(2), QStringLiteral("Line: %1").arg(expected));
        }
    }

    void menuKeysReachTheMenus()
    {
        // The text box lets every menu key through, the new ones included.
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("psxy"));
        f.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.main.get()));
        editor->Text1->setFocus();
        QTest::keyClick(editor->Text1, Qt::Key_H, Qt::ControlModifier);
        app::FindBar* bar = comforts(f)->findBar();
        QVERIFY(bar->replaceBox->isVisible());
        QCOMPARE(editor->text(), QStringLiteral("psxy"));
        QTest::keyClick(bar->findBox, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QCOMPARE(QApplication::focusWidget(), editor->Text1);
        QTest::keyClick(editor->Text1, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(bar->isVisible());
        QVERIFY(!bar->replaceBox->isVisible());
    }

    void commandLineOpening()
    {
        AppFixture f;
        const QString a = f.writeFile("a.bat", "echo a\r\n");
        const QString b = f.writeFile("b.awk", "{ print $2 }\n");
        const QString missing = f.path("missing.bat");
        // Relative names count from the current folder.
        f.main->openFiles({QStringLiteral("a.bat"), missing, b});
        QCOMPARE(f.messages(), 1);
        f.checkMessage("File moved or deleted, however it couldn't be found.\r\n\r\n" + missing, "File not found",
                       platform::MessageIcon::Question);
        QCOMPARE(f.main->editors().size(), 2);
        QCOMPARE(f.main->editors().at(0)->caption(), "'" + a);
        QCOMPARE(f.main->editors().at(1)->caption(), "'" + b);
        QCOMPARE(f.recentCaptions(), QStringList({"1: " + b, "2: " + a, "3: ", "4: "}));
    }

    void droppedFilesOpen()
    {
        const struct {
            bool ontoEditor, withFile;
            const char* text;
            int editors;
            const char* firstText;
        } rows[] = {
            {false, true, "", 2, "echo old\r\n"},              // a file onto the main window
            {true, true, "/x/drop.bat", 2, "echo old\r\n"},    // file managers add the path as text: still a file
            {true, false, "psxy ", 1, "psxy echo old\r\n"},    // text onto an editor goes in
            {false, false, "psxy", 1, "echo old\r\n"},         // a web link with text onto the main window
        };
        for (const auto& row : rows) {
            AppFixture f;
            app::frmEditor* first = f.open("old.bat", "echo old\r\n");
            QMimeData data;
            if (row.withFile) data.setUrls({QUrl::fromLocalFile(f.writeFile("drop.bat", "echo dropped\r\n"))});
            else if (!row.ontoEditor) data.setUrls({QUrl(QStringLiteral("https://mapquill.example.org/"))});
            if (*row.text) data.setText(QLatin1String(row.text));
            QWidget* target = row.ontoEditor ? first->Text1->viewport() : static_cast<QWidget*>(f.main.get());
            const QPoint at = row.ontoEditor ? QPoint(1, 1) : QPoint(200, 200);
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &move);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            drop.ignore();
            QApplication::sendEvent(target, &drop);
            QCoreApplication::processEvents();
            QTRY_COMPARE(f.main->editors().size(), row.editors);
            QCOMPARE(f.main->editors().front()->text(), QLatin1String(row.firstText));
            if (row.editors == 2) QCOMPARE(f.editor()->text(), QStringLiteral("echo dropped\r\n"));
        }
    }
};

QTEST_MAIN(TestEditorComforts)
#include "test_editor_comforts.moc"
