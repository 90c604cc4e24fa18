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
        QTest::newRow("bat, CR LF, code page")
            << "run.bat" << QByteArray("@echo off\r\nREM Gr\xfc\xdf" "e\r\ngrdimage %grd_file%.grd -JM15c -K > %ps_file%.ps\r\n") << true;
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
        QVERIFY(editor);
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

    void find_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("options");   // 1 match case, 2 whole word, 4 regular expression
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<int>("foundAt");   // -1: not found
        QTest::addColumn<QString>("note");
        // Text: "psxy -R a\nPSXY b\npsxyz c\n"; offsets 0, 10, 17.
        const QString wrapped = QStringLiteral("Passed the end: searching on from the beginning.");
        QTest::newRow("next") << "psxy" << 0 << 1 << false << 10 << "";
        QTest::newRow("match case skips PSXY") << "psxy" << 1 << 1 << false << 17 << "";
        QTest::newRow("whole word skips psxyz, wraps") << "psxy" << 3 << 1 << false << 0 << wrapped;
        QTest::newRow("whole word that starts with a sign") << "-R" << 2 << 0 << false << 5 << "";
        QTest::newRow("previous wraps to the end") << "psxy" << 0 << 0 << true << 17
                                                   << "Passed the beginning: searching on from the end.";
        QTest::newRow("regular expression") << "^\\w+ [bc]$" << 4 << 0 << false << 10 << "";
        QTest::newRow("no match") << "grdview" << 0 << 5 << false << -1 << "\"grdview\" was not found.";
        QTest::newRow("invalid expression") << "(" << 4 << 0 << false << -1
                                            << "The regular expression is not valid: missing closing parenthesis.";
        QTest::newRow("empty matches only") << "q*" << 4 << 0 << false << -1 << "\"q*\" was not found.";
    }
    void find()
    {
        QFETCH(QString, pattern);
        QFETCH(int, options);
        QFETCH(int, caret);
        QFETCH(bool, backward);
        QFETCH(int, foundAt);
        QFETCH(QString, note);
        AppFixture f;
        app::frmEditor* editor = f.newEditor(QStringLiteral("psxy -R a\r\nPSXY b\r\npsxyz c\r\n"));
        AppFixture::select(editor, caret, caret);
        f.trigger(QStringLiteral("mn_find"));
        app::FindBar* bar = comforts(f)->findBar();
        QVERIFY(bar->isVisible());
        bar->findBox->setText(pattern);
        bar->matchCase->setChecked(options & 1);
        bar->wholeWord->setChecked(options & 2);
        bar->regularExpression->setChecked(options & 4);
        f.trigger(backward ? QStringLiteral("mn_find_previous") : QStringLiteral("mn_find_next"));
        const QTextCursor after = editor->Text1->textCursor();
        QCOMPARE(after.hasSelection() ? after.selectionStart() : -1, foundAt);
        QCOMPARE(bar->note(), note);
        QCOMPARE(bar->statusNote(), note);
    }

    void replaceAllIsOneUndoStep()
    {
        AppFixture f;
        app::frmEditor* editor = f.newEditor();
        const QString text = QStringLiteral("set a=1\r\nset bb=22\r\nREM c=3\r\n");
        f.main->InsertAtCaret(text);
        f.trigger(QStringLiteral("mn_replace_text"));
        app::FindBar* bar = comforts(f)->findBar();
        QVERIFY(bar->replaceBox->isVisible());
        bar->findBox->setText(QStringLiteral("^set (\\w+)=(\\d+)"));
        bar->replaceBox->setText(QStringLiteral("set \\2=\\1\\\\"));
        bar->regularExpression->setChecked(true);
        QCOMPARE(bar->replaceAllMatches(), 2);
        QCOMPARE(editor->text(), QStringLiteral("set 1=a\\\r\nset 22=bb\\\r\nREM c=3\r\n"));
        QCOMPARE(bar->note(), QStringLiteral("Replaced 2 occurrences."));
        f.trigger(QStringLiteral("mn_undo"));
        QCOMPARE(editor->text(), text);
        // A replacement that matches again is not replaced again.
        bar->regularExpression->setChecked(false);
        bar->findBox->setText(QStringLiteral("a"));
        bar->replaceBox->setText(QStringLiteral("aa"));
        QCOMPARE(bar->replaceAllMatches(), 1);
        QCOMPARE(bar->note(), QStringLiteral("Replaced 1 occurrence."));
        f.trigger(QStringLiteral("mn_undo"));
        // Empty matches count too: "^" starts every line but the empty one after the last line end.
        bar->regularExpression->setChecked(true);
        bar->findBox->setText(QStringLiteral("^"));
        bar->replaceBox->setText(QStringLiteral("REM "));
        QCOMPARE(bar->replaceAllMatches(), 3);
        QCOMPARE(editor->text(), QStringLiteral("REM set a=1\r\nREM set bb=22\r\nREM REM c=3\r\n"));
        bar->findBox->setText(QStringLiteral("\\d*$"));
        bar->replaceBox->setText(QStringLiteral("<\\0>"));
        QCOMPARE(bar->replaceAllMatches(), 3);
        QCOMPARE(editor->text(), QStringLiteral("REM set a=<1>\r\nREM set bb=<22>\r\nREM REM c=<3>\r\n"));
    }

    void goToLineStaysInTheDocument_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("second") << "2" << 2;
        QTest::newRow("last") << "4" << 4;
        QTest::newRow("beyond the end") << "99" << 4;
        QTest::newRow("far beyond") << "1099511627776" << 4;
    }
    void goToLineStaysInTheDocument()
    {
        QFETCH(QString, typed);
        QFETCH(int, expected);
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
        QCOMPARE(f.message().text, "File moved or deleted, however it couldn't be found.\r\n\r\n" + missing);
        QCOMPARE(f.message().title, QStringLiteral("File not found"));
        QCOMPARE(f.main->editors().size(), 2);
        QCOMPARE(f.main->editors().at(0)->caption(), "'" + a);
        QCOMPARE(f.main->editors().at(1)->caption(), "'" + b);
        QCOMPARE(f.recentCaptions(), QStringList({"1: " + b, "2: " + a, "3: ", "4: "}));
    }

    void droppedFilesOpen_data()
    {
        QTest::addColumn<bool>("ontoEditor");
        QTest::addColumn<bool>("withFile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("editors");
        QTest::addColumn<QString>("firstText");
        QTest::newRow("file onto the main window") << false << true << QString() << 2 << "echo old\r\n";
        // File managers add the path as text besides the link: still a file.
        QTest::newRow("file with its path as text onto an editor") << true << true << "/x/drop.bat" << 2 << "echo old\r\n";
        QTest::newRow("text onto an editor goes in") << true << false << "psxy " << 1 << "psxy echo old\r\n";
        QTest::newRow("web link with text onto the main window") << false << false << "psxy" << 1 << "echo old\r\n";
    }
    void droppedFilesOpen()
    {
        QFETCH(bool, ontoEditor);
        QFETCH(bool, withFile);
        QFETCH(QString, text);
        QFETCH(int, editors);
        QFETCH(QString, firstText);
        AppFixture f;
        app::frmEditor* first = f.open(f.writeFile("old.bat", "echo old\r\n"));
        QMimeData data;
        if (withFile) data.setUrls({QUrl::fromLocalFile(f.writeFile("drop.bat", "echo dropped\r\n"))});
        else if (!ontoEditor) data.setUrls({QUrl(QStringLiteral("https://mapquill.example.org/"))});
        if (!text.isEmpty()) data.setText(text);
        QWidget* target = ontoEditor ? first->Text1->viewport() : static_cast<QWidget*>(f.main.get());
        const QPoint at = ontoEditor ? QPoint(1, 1) : QPoint(200, 200);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        drop.ignore();
        QApplication::sendEvent(target, &drop);
        QCoreApplication::processEvents();
        QTRY_COMPARE(f.main->editors().size(), editors);
        QCOMPARE(f.main->editors().front()->text(), firstText);
        if (editors == 2) QCOMPARE(f.editor()->text(), QStringLiteral("echo dropped\r\n"));
    }
};

QTEST_MAIN(TestEditorComforts)
#include "test_editor_comforts.moc"
