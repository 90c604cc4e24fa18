// Looking up the menu templates and the toolbar snippets. (Every text they
// insert is compared byte for byte in tests/app/test_editor.cpp.)
#include "catalogue/script_templates.h"

#include <QtTest>

using namespace mq::catalogue;

class TstTemplateTable : public QObject {
    Q_OBJECT
private slots:
    void snippetMenusHoldTheirEntriesInOrder()
    {
        QStringList seen;
        for (const auto& e : snippetMenuEntries()) {
            seen << QString::fromStdString(std::string(e.buttonKey) + ":" + std::string(e.snippet.name));
            QVERIFY(!e.snippet.focusAfter);
        }
        QCOMPARE(seen, QStringList({"dos:if", "dos:fordo", "awk:colum", "awk:plottext", "awk:ploteach",
                                    "awk:extract", "awk:value_filter"}));
    }

    void lookup_data()
    {
        QTest::addColumn<bool>("snippet");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("caption");   // empty when nothing may be found
        const auto row = [](const char* name, bool snippet, const char* key, const char* caption) {
            QTest::newRow(name) << snippet << QByteArray(key) << QByteArray(caption);
        };
        row("snippet if", true, "if", "If ... question");
        row("snippet If", true, "If", "");
        row("snippet IF", true, "IF", "");
        row("snippet with blank", true, "if ", "");
        row("snippet prefix", true, "value", "");
        row("snippet empty key", true, "", "");
        row("snippet last", true, "value_filter", "Filter lines by value");
        row("template name is no snippet", true, "mn_echo", "");
        row("template echo", false, "mn_echo", "&echo *");
        row("template upper case", false, "MN_ECHO", "");
        row("template date", false, "mn_date_time", "Date && Time");
        row("tools entry", false, "mn_gmtconvert", "gmtconvert (binary2ascii)");
        row("comment toggle is no template", false, "mn_rem", "");
        row("defaults window is no template", false, "mn_gmt_defaults", "");
        row("snippet key is no template", false, "if", "");
    }
    void lookup()
    {
        QFETCH(bool, snippet);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, caption);
        const ScriptTemplate* found =
            snippet ? findSnippet(key.toStdString()) : findTemplate(key.toStdString());
        QCOMPARE(found
                     ? QByteArray::fromStdString(std::string(found->name) + "|" + std::string(found->caption))
                     : QByteArray(),
                 caption.isEmpty() ? QByteArray() : key + "|" + caption);
    }
};

QTEST_GUILESS_MAIN(TstTemplateTable)
#include "test_template_table.moc"
