// The GMT manual pages: where each page is looked for, the folder setting and
// the menu entries of the main window.
#include "app/manual_pages.h"
#include "app_fixture.h"

#include <QDir>

using namespace mq::app;
using mq::testing::AppFixture;
using mq::testing::ScriptedDialog;
using mq::testing::ScriptedPlatform;

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

void makeFiles(const QTemporaryDir& dir, const QStringList& files)
{
    for (const QString& name : files) {
        QDir(dir.path()).mkpath(QFileInfo(name).path());
        mq::testing::write_file(dir.filePath(name), {});
    }
}

// Runs a command with the working folder set to `dir`.
template <class F>
void inFolder(const QString& dir, F command)
{
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir);
    command();
    QDir::setCurrent(old);
}

}  // namespace

class TestManualPages : public QObject {
    Q_OBJECT

private slots:
    void page_layouts_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<QString>("opened");   // relative to the folder; empty: the message
        QTest::newRow("older manual") << QStringList{"doc/html/grdimage.html"} << true << "doc/html/grdimage.html";
        QTest::newRow("current manual") << QStringList{"grdimage.html"} << true << "grdimage.html";
        QTest::newRow("both: the older place first")
            << QStringList{"grdimage.html", "doc/html/grdimage.html"} << true << "doc/html/grdimage.html";
        QTest::newRow("folder set by hand, no separator") << QStringList{"grdimage.html"} << false << "grdimage.html";
        QTest::newRow("neither") << QStringList{"grdview.html", "doc/html/gmt_man.html"} << true << "";
    }
    void page_layouts()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, trailingSeparator);
        QFETCH(QString, opened);
        QTemporaryDir dir;
        makeFiles(dir, files);
        ScriptedPlatform platform;
        QString folder = native(dir.path()) + (trailingSeparator ? QString(QDir::separator()) : QString());
        ManualPages(platform.services(), folder).change_internet_exp(QStringLiteral("grdimage"));
        QVERIFY(platform.dialog.shown.empty());
        if (!opened.isEmpty()) {
            QCOMPARE(platform.browser.opened, QStringList{native(dir.filePath(opened))});
            QVERIFY(platform.messages.shown.empty());
            return;
        }
        QVERIFY(platform.browser.opened.isEmpty());
        QCOMPARE(platform.messages.shown.size(), std::size_t(1));
        const auto& message = platform.messages.shown.front();
        QCOMPARE(message.title, QStringLiteral("GMT Help"));
        QCOMPARE(message.text, QStringLiteral("The manual page of grdimage was found neither at\r\n") +
                                   native(dir.filePath("doc/html/grdimage.html")) + QStringLiteral("\r\nnor at\r\n") +
                                   native(dir.filePath("grdimage.html")) +
                                   QStringLiteral("\r\n\r\nChoose the folder of the GMT html manual with About > "
                                                  "GMT html (help) > Set path to GMT html folder."));
    }

    // An empty folder setting looks in the working folder and never asks.
    void empty_folder_is_relative()
    {
        QTemporaryDir dir;
        makeFiles(dir, {"doc/html/psxy.html"});
        ScriptedPlatform platform;
        QString folder;
        ManualPages pages(platform.services(), folder);
        inFolder(dir.path(), [&] {
            pages.change_internet_exp(QStringLiteral("psxy"));
            pages.change_internet_exp(QStringLiteral("pstext"));
        });
        QVERIFY(platform.dialog.shown.empty());
        QCOMPARE(platform.browser.opened, QStringList{native(dir.filePath("doc/html/psxy.html"))});
        QCOMPARE(platform.messages.shown.size(), std::size_t(1));
        QVERIFY(platform.messages.shown.front().text.contains(
            QStringLiteral("neither at\r\n") + native(QStringLiteral("doc/html/pstext.html")) + QStringLiteral("\r\n")));
    }

    void set_path_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("stored");   // "old": unchanged
        QTest::newRow("gmt_man.html") << true << "/opt/gmt/html/gmt_man.html" << native("/opt/gmt/html/");
        QTest::newRow("any file") << true << "/opt/gmt/html/doc/notes.txt" << native("/opt/gmt/html/doc/");
        QTest::newRow("backslashes") << true << "C:\\gmt\\html\\gmt_man.html" << native("C:\\gmt\\html\\");
        QTest::newRow("cancelled") << false << "" << "old";
        QTest::newRow("empty name") << true << "" << "old";
    }
    void set_path()
    {
        QFETCH(bool, accept);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        ScriptedPlatform platform;
        platform.settings.values[{"GMT html path", "Path"}] = QStringLiteral("old");
        platform.dialog.state().hideReadOnly = false;
        platform.dialog.answers << (accept ? ScriptedDialog::accept(chosen) : ScriptedDialog::cancel());
        QString folder = QStringLiteral("old");
        ManualPages(platform.services(), folder).mn_set_gmt_html_path_Click();
        QCOMPARE(platform.dialog.shown.size(), std::size_t(1));
        const auto& shown = platform.dialog.shown.front();
        QCOMPARE(shown.kind, ScriptedDialog::Kind::Open);
        QCOMPARE(shown.state.dialogTitle, QStringLiteral("Path to GMT html pages"));
        QCOMPARE(shown.state.filter, QStringLiteral("All Files (*.*)|*.*|"));
        QCOMPARE(shown.state.fileName, QStringLiteral("gmt_man.html"));
        QVERIFY(shown.state.hideReadOnly && shown.state.cancelError);
        QCOMPARE(folder, stored);
        QCOMPARE(platform.settings.get("GMT html path", "Path"), stored);
    }

    void online_help_data()
    {
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("opened");   // empty: the message
        QTest::addColumn<int>("dialogs");
        QTest::newRow("older index") << true << QStringList{"gmt_man.html", "index.html"} << "gmt_man.html" << 0;
        QTest::newRow("current index") << true << QStringList{"index.html"} << "index.html" << 0;
        QTest::newRow("no folder, dialog cancelled: working folder") << false << QStringList{"gmt_man.html"}
                                                                     << "gmt_man.html" << 1;
        QTest::newRow("no folder, dialog cancelled, no index") << false << QStringList{} << "" << 1;
    }
    void online_help()
    {
        QFETCH(bool, folderSet);
        QFETCH(QStringList, files);
        QFETCH(QString, opened);
        QFETCH(int, dialogs);
        QTemporaryDir dir;
        makeFiles(dir, files);
        ScriptedPlatform platform;
        QString folder = folderSet ? native(dir.path()) + QDir::separator() : QString();
        inFolder(dir.path(), [&] { ManualPages(platform.services(), folder).mn_gmt_online_help_Click(); });
        QCOMPARE(int(platform.dialog.shown.size()), dialogs);
        QCOMPARE(platform.browser.opened,
                 opened.isEmpty() ? QStringList{} : QStringList{native(dir.filePath(opened))});
        QCOMPARE(platform.messages.shown.size(), std::size_t(opened.isEmpty() ? 1 : 0));
        if (opened.isEmpty()) QCOMPARE(platform.messages.shown.front().title, QStringLiteral("GMT online help"));
    }

    // Every GMT Help entry of the main window opens its own page; the About
    // menu's entry sets the folder the main window keeps.
    void main_window_entries()
    {
        QTemporaryDir dir;
        QStringList pages, expected;
        for (const ManualPageEntry& entry : manualPageEntries()) {
            pages << QString::fromUtf8(entry.page.data(), qsizetype(entry.page.size())) + QStringLiteral(".html");
            expected << native(dir.filePath(pages.back()));
        }
        makeFiles(dir, pages);
        QCOMPARE(pages.size(), 18);
        AppFixture app;
        app.platform.dialog.answers << ScriptedDialog::accept(dir.filePath(QStringLiteral("gmt_man.html")));
        app.trigger(QStringLiteral("mn_set_gmt_html_path"));
        QCOMPARE(app.main->gmt_html_path(), native(dir.path()) + QDir::separator());
        for (const ManualPageEntry& entry : manualPageEntries())
            app.trigger(QString::fromUtf8(entry.menuEntry.data(), qsizetype(entry.menuEntry.size())));
        QCOMPARE(app.platform.browser.opened, expected);
        makeFiles(dir, {"gmt_man.html"});
        app.trigger(QStringLiteral("mn_gmt_online_help"));
        QCOMPARE(app.platform.browser.opened.back(), native(dir.filePath("gmt_man.html")));
        QCOMPARE(app.platform.dialog.shown.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestManualPages)
#include "test_manual_pages.moc"
