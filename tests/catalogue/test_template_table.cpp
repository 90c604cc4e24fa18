#include <QtTest>

#include <set>
#include <string>

#include "catalogue/script_templates.h"

using namespace mq::catalogue;

namespace {

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

// Every command of the table, snippets included, with a label for messages.
std::vector<std::pair<QByteArray, const ScriptTemplate*>> everyText()
{
    std::vector<std::pair<QByteArray, const ScriptTemplate*>> all;
    for (const auto& t : scriptTemplates())
        all.emplace_back(bytes(t.name), &t);
    for (const auto& e : snippetMenuEntries())
        all.emplace_back("snippet " + bytes(e.snippet.name), &e.snippet);
    return all;
}

}  // namespace

class TstTemplateTable : public QObject {
    Q_OBJECT
private slots:
    void snippetMenusHoldTheirEntriesInOrder();
    void lookup_data();
    void lookup();
    void piecesAreNonEmptyWithCrLfLineEnds();
};


void TstTemplateTable::snippetMenusHoldTheirEntriesInOrder()
{
    QStringList seen;
    for (const auto& e : snippetMenuEntries())
        seen << QString::fromLatin1(bytes(e.buttonKey) + ":" + bytes(e.snippet.name));
    QCOMPARE(seen, QStringList({"dos:if", "dos:fordo", "awk:colum", "awk:plottext",
                                "awk:ploteach", "awk:extract", "awk:value_filter"}));
    for (const auto& e : snippetMenuEntries())
        QVERIFY2(!e.snippet.focusAfter, e.snippet.name.data());
}

void TstTemplateTable::lookup_data()
{
    QTest::addColumn<bool>("snippet");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("caption");   // empty when nothing may be found

    QTest::newRow("snippet if") << true << QByteArray("if") << QByteArray("If ... question");
    QTest::newRow("snippet If") << true << QByteArray("If") << QByteArray();
    QTest::newRow("snippet IF") << true << QByteArray("IF") << QByteArray();
    QTest::newRow("snippet with blank") << true << QByteArray("if ") << QByteArray();
    QTest::newRow("snippet prefix") << true << QByteArray("value") << QByteArray();
    QTest::newRow("snippet empty key") << true << QByteArray() << QByteArray();
    QTest::newRow("snippet last")
        << true << QByteArray("value_filter") << QByteArray("Filter lines by value");
    QTest::newRow("template name is no snippet") << true << QByteArray("mn_echo") << QByteArray();
    QTest::newRow("template echo") << false << QByteArray("mn_echo") << QByteArray("&echo *");
    QTest::newRow("template upper case") << false << QByteArray("MN_ECHO") << QByteArray();
    QTest::newRow("template date")
        << false << QByteArray("mn_date_time") << QByteArray("Date && Time");
    QTest::newRow("tools entry")
        << false << QByteArray("mn_gmtconvert") << QByteArray("gmtconvert (binary2ascii)");
    QTest::newRow("comment toggle is no template") << false << QByteArray("mn_rem") << QByteArray();
    QTest::newRow("defaults window is no template")
        << false << QByteArray("mn_gmt_defaults") << QByteArray();
    QTest::newRow("snippet key is no template") << false << QByteArray("if") << QByteArray();
}

void TstTemplateTable::lookup()
{
    QFETCH(bool, snippet);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, caption);
    const std::string_view k(key.constData(), std::size_t(key.size()));
    const ScriptTemplate* found = snippet ? findSnippet(k) : findTemplate(k);
    if (caption.isEmpty()) {
        QVERIFY(found == nullptr);
    } else {
        QVERIFY(found != nullptr);
        QCOMPARE(bytes(found->name), key);
        QCOMPARE(bytes(found->caption), caption);
    }
}

void TstTemplateTable::piecesAreNonEmptyWithCrLfLineEnds()
{
    for (const auto& [label, t] : everyText()) {
        QVERIFY2(!t->pieces.empty(), label.constData());
        for (std::size_t p = 0; p < t->pieces.size(); ++p) {
            const std::string_view piece = t->pieces[p];
            const QByteArray where = label + " piece " + QByteArray::number(qulonglong(p + 1));
            QVERIFY2(!piece.empty(), where.constData());
            for (std::size_t i = 0; i < piece.size(); ++i) {
                const bool crWithoutLf = piece[i] == '\r' && (i + 1 == piece.size() || piece[i + 1] != '\n');
                const bool lfWithoutCr = piece[i] == '\n' && (i == 0 || piece[i - 1] != '\r');
                QVERIFY2(!crWithoutLf && !lfWithoutCr,
                         (where + " byte " + QByteArray::number(qulonglong(i))).constData());
            }
        }
    }
}



QTEST_GUILESS_MAIN(TstTemplateTable)
#include "test_template_table.moc"
