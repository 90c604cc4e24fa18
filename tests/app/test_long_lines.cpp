// A line of thousands of characters is painted only where it shows; the
// result must look exactly as the toolkit's own painting of the same text.
#include "app/frmeditor.h"

#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QtTest>

using mq::app::EditorTextBox;

namespace {

// Colours the first 3000 characters of every line.
class Colouring : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString&) override { setFormat(0, 3000, QColor(Qt::darkGreen)); }
};

// Same text, font, size, scroll position and selection in both boxes.
void prepare(QPlainTextEdit& box, const QString& text, int scroll, int selectFrom, int selectTo, bool coloured)
{
    if (coloured) new Colouring(box.document());
    box.setLineWrapMode(QPlainTextEdit::NoWrap);
    box.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 10));
    box.resize(420, 160);
    box.setPlainText(text);
    box.show();
    QTextCursor cursor(box.document());
    cursor.setPosition(selectFrom);
    cursor.setPosition(selectTo, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum() * scroll / 100);
}

// Tabs and a non-Latin word inside: the glyphs must stand where the layout
// put them.
QString longLine()
{
    QString line;
    for (int i = 0; line.size() < 6400; ++i) line += QStringLiteral("psxy -R0/%1/0/10\t-JX15c Zürich Αθήνα ").arg(i);
    return line;
}

const QString kFirstLine = QStringLiteral("REM short\n");

}  // namespace

class TestLongLines : public QObject {
    Q_OBJECT
private slots:
    void paintsAsTheToolkit()
    {
        const int lineEnd = int(kFirstLine.size() + longLine().size());
        const struct {
            int scroll;   // per cent of the way to the right
            int selectFrom, selectTo;
            bool coloured;
            int caret;   // 0 none (no focus), 1 the caret, 2 the caret in overwrite mode
        } rows[] = {
            {0, 0, 0, false, 0},  {50, 20, 3290, false, 0},   // a selection across the left edge
            {50, 3300, 3320, false, 0}, {0, 0, 0, true, 0},
            {100, lineEnd - 10, lineEnd + 5, false, 0},         // a selection over the line end
            {100, lineEnd - 7, lineEnd - 7, false, 1}, {100, lineEnd - 7, lineEnd - 7, false, 2},
        };
        const QString text = kFirstLine + longLine() + QStringLiteral("\nshort line after\n");
        QApplication::setCursorFlashTime(0);   // a caret that does not blink
        for (const auto& row : rows) {
            EditorTextBox ours;
            QPlainTextEdit toolkits;
            prepare(ours, text, row.scroll, row.selectFrom, row.selectTo, row.coloured);
            prepare(toolkits, text, row.scroll, row.selectFrom, row.selectTo, row.coloured);
            QVERIFY(ours.document()->findBlockByNumber(1).length() > 2000);
            bool focused = true;
            auto shot = [&](QPlainTextEdit& box) {
                if (row.caret) {
                    box.setOverwriteMode(row.caret == 2);
                    box.activateWindow();
                    box.setFocus();
                    focused = QTest::qWaitFor([&] { return box.hasFocus(); }) && focused;
                }
                return box.viewport()->grab().toImage();
            };
            const QImage mine = shot(ours);
            QCOMPARE(mine, shot(toolkits));
            QVERIFY(focused);
        }
    }
};

QTEST_MAIN(TestLongLines)
#include "test_long_lines.moc"
