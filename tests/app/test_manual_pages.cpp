// The GMT manual pages: where each page is looked for, the folder setting and
// the menu entries of the main window.
#include "app/manual_pages.h"
#include "app_fixture.h"

using namespace mq::app;
using mq::testing::AppFixture;
using mq::testing::ScriptedDialog;
using mq::testing::ScriptedPlatform;

namespace {

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

// A folder holding empty files of the given names; the working folder while
// it lives, so that relative places resolve in it.
struct Folder {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    explicit Folder(const QStringList& files)
    {
        for (const QString& name : files) {
            QDir(dir.path()).mkpath(QFileInfo(name).path());
            mq::testing::write_file(dir.filePath(name), {});
        }
        QDir::setCurrent(dir.path());
    }
    ~Folder() { QDir::setCurrent(previous); }
    QString place(const QString& name) const { return native(dir.filePath(name)); }
    QString prefix() const { return native(dir.path()) + QDir::separator(); }
};

}  // namespace

class TestManualPages : public QObject {
    Q_OBJECT

private slots:
    void page_layouts()
    {
        // The files there, the folder setting (1 with a separator, 0 without, -1 empty: the
        // working folder), the page opened ("": the message).
        const struct {
            QStringList files;
            int folderSet;
            QString opened;
        } rows[] = {
            {{"doc/html/grdimage.html"}, 1, "doc/html/grdimage.html"},   // older manual
            {{"grdimage.html"}, 1, "grdimage.html"},                     // current manual
            {{"grdimage.html", "doc/html/grdimage.html"}, 1, "doc/html/grdimage.html"},   // older first
            {{"grdimage.html"}, 0, "grdimage.html"},                     // folder set by hand
            {{"grdview.html", "doc/html/gmt_man.html"}, 1, ""},
            {{"doc/html/grdimage.html"}, -1, "doc/html/grdimage.html"},
            {{"grdview.html"}, -1, ""},
        };
        for (const auto& row : rows) {
            Folder folder(row.files);
            ScriptedPlatform platform;
            QString path = row.folderSet < 0 ? QString() : row.folderSet ? folder.prefix() : native(folder.dir.path());
            ManualPages(platform.services(), path).change_internet_exp(QStringLiteral("grdimage"));
            QVERIFY(platform.dialog.shown.empty());   // never asks
            QCOMPARE(platform.browser.opened, row.opened.isEmpty() ? QStringList() : QStringList{folder.place(row.opened)});
            QCOMPARE(platform.messages.shown.size(), std::size_t(row.opened.isEmpty() ? 1 : 0));
            if (!row.opened.isEmpty()) continue;
            const QString prefix = row.folderSet < 0 ? QString() : folder.prefix();
            QCOMPARE(platform.messages.shown.front().title, QStringLiteral("GMT Help"));
            QCOMPARE(platform.messages.shown.front().text,
                     "The manual page of grdimage was found neither at\r\n" + prefix + native("doc/html/grdimage.html") +
                         "\r\nnor at\r\n" + prefix + "grdimage.html" +
                         "\r\n\r\nChoose the folder of the GMT html manual with About > "
                         "GMT html (help) > Set path to GMT html folder.");
        }
    }

    void set_path()
    {
        const struct {
            bool accept;
            QString chosen, stored;   // "old": unchanged
        } rows[] = {
            {true, "/opt/gmt/html/gmt_man.html", native("/opt/gmt/html/")},
            {true, "/opt/gmt/html/doc/notes.txt", native("/opt/gmt/html/doc/")},   // any file
            {true, "C:\\gmt\\html\\gmt_man.html", native("C:\\gmt\\html\\")},
            {false, "", "old"},   // cancelled
            {true, "", "old"},    // an empty name
        };
        for (const auto& row : rows) {
            ScriptedPlatform platform;
            platform.settings.values[{"GMT html path", "Path"}] = QStringLiteral("old");
            platform.dialog.state().hideReadOnly = false;
            platform.dialog.answers << (row.accept ? ScriptedDialog::accept(row.chosen) : ScriptedDialog::cancel());
            QString folder = QStringLiteral("old");
            ManualPages(platform.services(), folder).mn_set_gmt_html_path_Click();
            QCOMPARE(platform.dialog.shown.size(), std::size_t(1));
            const auto& shown = platform.dialog.shown.front();
            QCOMPARE(shown.kind, ScriptedDialog::Kind::Open);
            QCOMPARE(shown.state.dialogTitle, QStringLiteral("Path to GMT html pages"));
            QCOMPARE(shown.state.filter, QStringLiteral("All Files (*.*)|*.*|"));
            QCOMPARE(shown.state.fileName, QStringLiteral("gmt_man.html"));
            QVERIFY(shown.state.hideReadOnly && shown.state.cancelError);
            QCOMPARE(folder, row.stored);
            QCOMPARE(platform.settings.get("GMT html path", "Path"), row.stored);
        }
    }

    void online_help()
    {
        // With no folder set the dialog asks (cancelled here) and the working folder is searched.
        const struct {
            bool folderSet;
            QStringList files;
            QString opened;   // "": the message
        } rows[] = {{true, {"gmt_man.html", "index.html"}, "gmt_man.html"}, {true, {"index.html"}, "index.html"},
                    {false, {"gmt_man.html"}, "gmt_man.html"},          {false, {}, ""}};
        for (const auto& row : rows) {
            Folder folder(row.files);
            ScriptedPlatform platform;
            QString path = row.folderSet ? folder.prefix() : QString();
            ManualPages(platform.services(), path).mn_gmt_online_help_Click();
            QCOMPARE(int(platform.dialog.shown.size()), row.folderSet ? 0 : 1);
            QCOMPARE(platform.browser.opened, row.opened.isEmpty() ? QStringList() : QStringList{folder.place(row.opened)});
            QCOMPARE(platform.messages.shown.size(), std::size_t(row.opened.isEmpty() ? 1 : 0));
            if (row.opened.isEmpty()) QCOMPARE(platform.messages.shown.front().title, QStringLiteral("GMT online help"));
        }
    }

    // Every GMT Help entry of the main window opens its own page; the About
    // menu's entry sets the folder the main window keeps.
    void main_window_entries()
    {
        QStringList pages;
        for (const ManualPageEntry& entry : manualPageEntries())
            pages << QString::fromUtf8(entry.page.data(), qsizetype(entry.page.size())) + QStringLiteral(".html");
        QCOMPARE(pages.size(), 18);
        Folder folder(pages);
        QStringList expected;
        for (const QString& page : pages) expected << folder.place(page);
        AppFixture app;
        app.platform.dialog.answers << ScriptedDialog::accept(folder.dir.filePath(QStringLiteral("gmt_man.html")));
        app.trigger(QStringLiteral("mn_set_gmt_html_path"));
        QCOMPARE(app.main->gmt_html_path(), folder.prefix());
        for (const ManualPageEntry& entry : manualPageEntries())
            app.trigger(QString::fromUtf8(entry.menuEntry.data(), qsizetype(entry.menuEntry.size())));
        QCOMPARE(app.platform.browser.opened, expected);
        mq::testing::write_file(folder.dir.filePath("gmt_man.html"), {});
        app.trigger(QStringLiteral("mn_gmt_online_help"));
        QCOMPARE(app.platform.browser.opened.back(), folder.place("gmt_man.html"));
        QCOMPARE(app.platform.dialog.shown.size(), std::size_t(1));
    }
};

QTEST_MAIN(TestManualPages)
#include "test_manual_pages.moc"
