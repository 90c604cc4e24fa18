// Syntax highlighting, find and replace, and files opened from
// outside the program.
#include "app/editor_comforts.h"
#include "app/find_bar.h"
#include "app_fixture.h"

#include <QLineEdit>
#include <QTextBlock>

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
            dropOnto(target, &data, at);
            QCoreApplication::processEvents();
            QTRY_COMPARE(f.main->editors().size(), row.editors);
            QCOMPARE(f.main->editors().front()->text(), QLatin1String(row.firstText));
            if (row.editors == 2) QCOMPARE(f.editor()->text(), QStringLiteral("echo dropped\r\n"));
        }
    }
};

QTEST_MAIN(TestEditorComforts)
#include "test_editor_comforts.moc"
