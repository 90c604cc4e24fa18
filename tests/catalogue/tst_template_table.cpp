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
    void namesAndCaptionsAreUnique();
    void snippetMenusHoldTheirEntriesInOrder();
    void lookup_data();
    void lookup();
    void piecesAreNonEmptyWithCrLfLineEnds();
    void dateTimeMarkerOnlyWhereTheTimeGoes();
    void expandPiecesReplacesEveryMarker();
};

void TstTemplateTable::namesAndCaptionsAreUnique()
{
    // Captions of the menu templates are unique across all menus, which is
    // stricter than per menu; snippet captions are unique per button.
    std::set<std::string_view> names, captions;
    for (const auto& t : scriptTemplates()) {
        QVERIFY2(names.insert(t.name).second, t.name.data());
        QVERIFY2(captions.insert(t.caption).second, t.caption.data());
        QVERIFY(t.name.starts_with("mn_"));
    }
    std::set<std::string_view> keys;
    std::set<std::pair<std::string_view, std::string_view>> snippetCaptions;
    for (const auto& e : snippetMenuEntries()) {
        QVERIFY2(keys.insert(e.snippet.name).second, e.snippet.name.data());
        QVERIFY2(snippetCaptions.insert({e.buttonKey, e.snippet.caption}).second,
                 e.snippet.caption.data());
    }
}

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

void TstTemplateTable::dateTimeMarkerOnlyWhereTheTimeGoes()
{
    for (const auto& [label, t] : everyText()) {
        int markers = 0;
        for (const std::string_view piece : t->pieces)
            for (std::size_t at = piece.find(kDateTimeMarker); at != std::string_view::npos;
                 at = piece.find(kDateTimeMarker, at + 1))
                ++markers;
        const bool expected = t->name == "mn_date_time" || t->name == "mn_script_header";
        QVERIFY2(markers == (expected ? 1 : 0), label.constData());
    }
}

void TstTemplateTable::expandPiecesReplacesEveryMarker()
{
    const ScriptTemplate* dateTime = findTemplate("mn_date_time");
    QVERIFY(dateTime);
    QCOMPARE(expandPieces(*dateTime, "06.12.2026  /  09:39:26"),
             std::vector<std::string>{"06.12.2026  /  09:39:26"});
    // A date text that happens to hold the marker is put in as it stands.
    QCOMPARE(expandPieces(*dateTime, kDateTimeMarker),
             std::vector<std::string>{std::string(kDateTimeMarker)});
    QCOMPARE(expandPieces(*dateTime, ""), std::vector<std::string>{""});

    const ScriptTemplate* header = findTemplate("mn_script_header");
    QVERIFY(header);
    const std::vector<std::string> expanded = expandPieces(*header, "D  /  T");
    QCOMPARE(expanded.size(), std::size_t(1));
    QVERIFY(expanded[0].find("\xC2\xA9    D  /  T\r\n") != std::string::npos);

    const ScriptTemplate* settings = findTemplate("mn_gmt_settings");
    QVERIFY(settings);
    const std::vector<std::string> same = expandPieces(*settings, "unused");
    QCOMPARE(same.size(), settings->pieces.size());
    for (std::size_t i = 0; i < same.size(); ++i)
        QCOMPARE(same[i], std::string(settings->pieces[i]));
}

QTEST_GUILESS_MAIN(TstTemplateTable)
#include "tst_template_table.moc"
