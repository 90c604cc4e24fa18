// The Script > REM command: "REM " in front of each selected line, or every
// "REM " taken away again.
#include "catalogue/comment_toggle.h"

#include <QtTest>

using mq::catalogue::toggle_rem;

class TstCommentToggle : public QObject {
    Q_OBJECT
private slots:
    void toggle_data()
    {
        QTest::addColumn<QByteArray>("selection");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, const char* in, const char* out) {
            QTest::newRow(name) << QByteArray(in) << QByteArray(out);
        };
        row("nothing selected", "", "REM ");
        row("one word", "echo *", "REM echo *");
        row("two lines with final line end", "echo a\r\necho b\r\n", "REM echo a\r\nREM echo b\r\n");
        row("two lines without final line end", "echo a\r\necho b", "REM echo a\r\nREM echo b");
        row("only a line end", "\r\n", "REM \r\n");
        row("empty line in the middle", "a\r\n\r\nb", "REM a\r\nREM \r\nREM b");
        row("empty lines at the end", "a\r\n\r\n", "REM a\r\nREM \r\n");
        row("bare LF is not a line end", "a\nb\rc", "REM a\nb\rc");
        row("lower case rem is not recognised", "rem a\r\nrem b\r\n", "REM rem a\r\nREM rem b\r\n");
        row("uncomment one line", "REM echo a", "echo a");
        row("uncomment only the marked line", "REM echo a\r\necho b\r\n", "echo a\r\necho b\r\n");
        row("uncomment several lines", "REM a\r\nREM b\r\nREM c", "a\r\nb\r\nc");
        row("REM without blank stays unchanged", "echo REMOVE\r\n", "echo REMOVE\r\n");
        row("REM alone stays unchanged", "REM", "REM");
        row("REM inside a line is removed too", "echo REM x", "echo x");
        row("doubled mark loses both", "REM REM a", "a");
        row("marks do not overlap", "REMREM a", "REMa");
        row("selection that is just the mark", "REM ", "");
        row("script lines", "gmtset X_ORIGIN\t= 2c\r\n\r\npsxy a -O >> %ps_file%.ps\r\n",
            "REM gmtset X_ORIGIN\t= 2c\r\nREM \r\nREM psxy a -O >> %ps_file%.ps\r\n");
        row("and back", "REM gmtset X_ORIGIN\t= 2c\r\nREM \r\nREM psxy a -O >> %ps_file%.ps\r\n",
            "gmtset X_ORIGIN\t= 2c\r\n\r\npsxy a -O >> %ps_file%.ps\r\n");
    }
    void toggle()
    {
        QFETCH(QByteArray, selection);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(toggle_rem(selection.toStdString())), expected);
    }
};

QTEST_GUILESS_MAIN(TstCommentToggle)
#include "test_comment_toggle.moc"
