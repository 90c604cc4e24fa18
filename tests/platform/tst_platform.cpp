// The desktop services that can be checked without a person: filter lists
// and the settings store.
#include "platform/qt_platform.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace mq::platform;

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void filterListsBecomeNameFilters_data();
    void filterListsBecomeNameFilters();
    void settingsRoundTrip();
    void terminalCandidatesStartWithTheUsersChoice();
};

void TestPlatform::filterListsBecomeNameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("two entries") << "All Files (*.*)|*.*|Text Files(*.txt)|*.txt"
                                 << QStringList{"All Files (*.*) (*.*)", "Text Files(*.txt) (*.txt)"};
    QTest::newRow("several patterns") << "Scripts|*.bat;*.cmd" << QStringList{"Scripts (*.bat *.cmd)"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("a label without pattern is dropped") << "All|*.*|Broken" << QStringList{"All (*.*)"};
}

void TestPlatform::filterListsBecomeNameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(nameFiltersFromFilterList(filter), nameFilters);
}

void TestPlatform::settingsRoundTrip()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    {
        QtSettingsStore store(ini);
        QCOMPARE(store.get(QStringLiteral("Files"), QStringLiteral("1_1")), QString());
        store.set(QStringLiteral("Files"), QStringLiteral("1_1"), QStringLiteral("C:\\maps\\run.bat"));
        store.set(QStringLiteral("GMT html path"), QStringLiteral("Path"), QStringLiteral("/usr/share/gmt/html"));
        store.set(QStringLiteral("Text"), QStringLiteral("Font_Size"), QStringLiteral("10.5"));
    }
    QtSettingsStore reopened(ini);
    QCOMPARE(reopened.get(QStringLiteral("Files"), QStringLiteral("1_1")), QStringLiteral("C:\\maps\\run.bat"));
    QCOMPARE(reopened.get(QStringLiteral("GMT html path"), QStringLiteral("Path")), QStringLiteral("/usr/share/gmt/html"));
    QCOMPARE(reopened.get(QStringLiteral("Text"), QStringLiteral("Font_Size")), QStringLiteral("10.5"));
    QCOMPARE(reopened.get(QStringLiteral("Text"), QStringLiteral("Font_Name")), QString());
}

void TestPlatform::terminalCandidatesStartWithTheUsersChoice()
{
    qputenv("TERMINAL", "my-terminal");
    const QStringList candidates = QtPrograms::terminalCandidates();
    QCOMPARE(candidates.value(0), QStringLiteral("my-terminal"));
    QVERIFY(candidates.contains(QStringLiteral("xterm")));
    qunsetenv("TERMINAL");
    QCOMPARE(QtPrograms::terminalCandidates().value(0), QStringLiteral("x-terminal-emulator"));
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
