#include <QtTest>

#include "catalogue/comment_toggle.h"

using mq::catalogue::toggle_rem;

class TstCommentToggle : public QObject {
    Q_OBJECT
private slots:
    void toggle_data();
    void toggle();
    void togglingTwiceRestoresPlainLines();
};

void TstCommentToggle::toggle_data()
{
    QTest::addColumn<QByteArray>("selection");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("nothing selected") << QByteArray() << QByteArray("REM ");
    QTest::newRow("one word") << QByteArray("echo *") << QByteArray("REM echo *");
    QTest::newRow("two whole lines with final line end")
        << QByteArray("echo a\r\necho b\r\n") << QByteArray("REM echo a\r\nREM echo b\r\n");
    QTest::newRow("two lines without final line end")
        << QByteArray("echo a\r\necho b") << QByteArray("REM echo a\r\nREM echo b");
    QTest::newRow("only a line end") << QByteArray("\r\n") << QByteArray("REM \r\n");
    QTest::newRow("empty line in the middle")
        << QByteArray("a\r\n\r\nb") << QByteArray("REM a\r\nREM \r\nREM b");
    QTest::newRow("empty lines at the end")
        << QByteArray("a\r\n\r\n") << QByteArray("REM a\r\nREM \r\n");
    QTest::newRow("bare LF is not a line end")
        << QByteArray("a\nb\rc") << QByteArray("REM a\nb\rc");
    QTest::newRow("lower case rem is not recognised")
        << QByteArray("rem a\r\nrem b\r\n") << QByteArray("REM rem a\r\nREM rem b\r\n");

    QTest::newRow("uncomment one line")
        << QByteArray("REM echo a") << QByteArray("echo a");
    QTest::newRow("uncomment only the marked line")
        << QByteArray("REM echo a\r\necho b\r\n") << QByteArray("echo a\r\necho b\r\n");
    QTest::newRow("uncomment several lines")
        << QByteArray("REM a\r\nREM b\r\nREM c") << QByteArray("a\r\nb\r\nc");
    QTest::newRow("REM without blank stays unchanged")
        << QByteArray("echo REMOVE\r\n") << QByteArray("echo REMOVE\r\n");
    QTest::newRow("REM alone stays unchanged") << QByteArray("REM") << QByteArray("REM");
    QTest::newRow("REM inside a line is removed too")
        << QByteArray("echo REM x") << QByteArray("echo x");
    QTest::newRow("doubled mark loses both")
        << QByteArray("REM REM a") << QByteArray("a");
    QTest::newRow("marks do not overlap")
        << QByteArray("REMREM a") << QByteArray("REMa");
    QTest::newRow("selection that is just the mark") << QByteArray("REM ") << QByteArray();
}

void TstCommentToggle::toggle()
{
    QFETCH(QByteArray, selection);
    QFETCH(QByteArray, expected);
    const std::string result =
        toggle_rem(std::string_view(selection.constData(), std::size_t(selection.size())));
    QCOMPARE(QByteArray::fromStdString(result), expected);
}

void TstCommentToggle::togglingTwiceRestoresPlainLines()
{
    const std::string_view lines = "gmtset X_ORIGIN\t= 2c\r\n\r\npsxy a -O >> %ps_file%.ps\r\n";
    const std::string once = toggle_rem(lines);
    QVERIFY(once != lines);
    QCOMPARE(toggle_rem(once), std::string(lines));
}

QTEST_GUILESS_MAIN(TstCommentToggle)
#include "test_comment_toggle.moc"
