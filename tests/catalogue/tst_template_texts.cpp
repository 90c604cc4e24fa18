// Compares every text of the catalogue with the independently typed files in
// expected/: <name>.txt for menu templates, snippet_<key>.txt for snippets.
// In those files "@DATETIME@" stands where the date and time go. The file
// expected/pieces.txt lists "<name> <pieces> <focus 0|1>" for each text.
#include <QtTest>

#include <map>

#include "catalogue/script_templates.h"

using namespace mq::catalogue;

namespace {

const QString kExpectedDir = QStringLiteral(MQ_TEST_DATA_DIR "/expected/");
constexpr std::string_view kDateTimeStandIn = "@DATETIME@";

struct PieceInfo {
    int pieces = 0;
    bool focus = false;
};

QByteArray bytes(std::string_view s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

// Up to `count` bytes of `text` from `from` on, control bytes and non-ASCII
// written as escapes so that blanks, TABs and line ends are visible.
QByteArray visible(const QByteArray& text, qsizetype from, qsizetype count)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    const qsizetype to = std::min(text.size(), from + count);
    QByteArray out;
    for (qsizetype i = from; i < to; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else if (c < 0x20 || c >= 0x7f) out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
        else out += char(c);
    }
    return out;
}

// Empty when equal; otherwise where and how the two texts part.
QByteArray describeDifference(const QByteArray& expected, const QByteArray& actual)
{
    if (expected == actual)
        return {};
    qsizetype at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    const qsizetype context = 24;
    const auto side = [&](const QByteArray& text) {
        return "\"" + visible(text, at - context, context) + "\" | \""
               + visible(text, at, context) + "\"";
    };
    return "first difference at byte " + QByteArray::number(at) + " (line "
           + QByteArray::number(expected.left(at).count('\n') + 1) + "); expected "
           + QByteArray::number(expected.size()) + " bytes, table gives "
           + QByteArray::number(actual.size()) + " bytes\n   expected: " + side(expected)
           + "\n   table:    " + side(actual);
}

}  // namespace

class TstTemplateTexts : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void texts_data();
    void texts();
    void piecesFileListsEveryText();

private:
    std::map<QByteArray, PieceInfo> pieceInfo_;
    QByteArray pieceFileProblem_;
};

void TstTemplateTexts::initTestCase()
{
    QFile file(kExpectedDir + "pieces.txt");
    if (!file.open(QIODevice::ReadOnly)) {
        pieceFileProblem_ = "missing file " + file.fileName().toLocal8Bit();
        return;
    }
    int lineNo = 0;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        ++lineNo;
        const QList<QByteArray> fields = raw.trimmed().split(' ');
        if (raw.trimmed().isEmpty())
            continue;
        bool countOk = false, focusOk = false;
        const int count = fields.size() == 3 ? fields[1].toInt(&countOk) : 0;
        const int focus = fields.size() == 3 ? fields[2].toInt(&focusOk) : 0;
        if (!countOk || !focusOk || (focus != 0 && focus != 1)) {
            pieceFileProblem_ += "pieces.txt line " + QByteArray::number(lineNo)
                                 + " unreadable: " + raw + "\n";
            continue;
        }
        pieceInfo_[fields[0]] = {count, focus == 1};
    }
}

void TstTemplateTexts::texts_data()
{
    QTest::addColumn<QByteArray>("fileStem");
    QTest::addColumn<bool>("snippet");
    QTest::addColumn<QByteArray>("name");

    for (const auto& t : scriptTemplates())
        QTest::newRow(bytes(t.name).constData()) << bytes(t.name) << false << bytes(t.name);
    for (const auto& e : snippetMenuEntries()) {
        const QByteArray stem = "snippet_" + bytes(e.snippet.name);
        QTest::newRow(stem.constData()) << stem << true << bytes(e.snippet.name);
    }
}

void TstTemplateTexts::texts()
{
    QFETCH(QByteArray, fileStem);
    QFETCH(bool, snippet);
    QFETCH(QByteArray, name);

    const std::string_view key(name.constData(), std::size_t(name.size()));
    const ScriptTemplate* tpl = snippet ? findSnippet(key) : findTemplate(key);
    QVERIFY(tpl);

    QFile file(kExpectedDir + QString::fromLatin1(fileStem) + ".txt");
    QVERIFY2(file.open(QIODevice::ReadOnly),
             ("missing file " + file.fileName().toLocal8Bit()).constData());
    const QByteArray expected = file.readAll();

    QByteArray actual;
    for (const std::string& piece : expandPieces(*tpl, kDateTimeStandIn))
        actual += QByteArray::fromStdString(piece);
    const QByteArray difference = describeDifference(expected, actual);
    QVERIFY2(difference.isEmpty(), difference.constData());

    QVERIFY2(pieceFileProblem_.isEmpty(), pieceFileProblem_.constData());
    const auto info = pieceInfo_.find(fileStem);
    QVERIFY2(info != pieceInfo_.end(), ("pieces.txt has no line for " + fileStem).constData());
    QCOMPARE(int(tpl->pieces.size()), info->second.pieces);
    QCOMPARE(tpl->focusAfter, info->second.focus);
}

void TstTemplateTexts::piecesFileListsEveryText()
{
    QVERIFY2(pieceFileProblem_.isEmpty(), pieceFileProblem_.constData());
    std::size_t known = 0;
    for (const auto& [stem, info] : pieceInfo_) {
        const bool isSnippet = stem.startsWith("snippet_");
        const QByteArray key = isSnippet ? stem.mid(8) : stem;
        const std::string_view k(key.constData(), std::size_t(key.size()));
        QVERIFY2((isSnippet ? findSnippet(k) : findTemplate(k)) != nullptr,
                 ("pieces.txt names a text the table lacks: " + stem).constData());
        ++known;
    }
    QCOMPARE(known, scriptTemplates().size() + snippetMenuEntries().size());
}

QTEST_GUILESS_MAIN(TstTemplateTexts)
#include "tst_template_texts.moc"
