#include "app/core/script_codec.h"

#include <QElapsedTimer>
#include <QTest>

#include <random>

using namespace mq::app;

Q_DECLARE_METATYPE(mq::app::Encoding)
Q_DECLARE_METATYPE(mq::app::LineEnd)

namespace {

std::string_view bytesOf(const QByteArray& a) {
    return {a.constData(), static_cast<std::size_t>(a.size())};
}

QByteArray toBytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// Qt's fromUtf16 family drops a leading U+FEFF and may repair surrogates;
// the tests need the units exactly as they are.
QString toQString(std::u16string_view s) {
    return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

std::u16string toU16(const QString& s) { return s.toStdU16String(); }

// The encoding a plain-ASCII (or empty) file gets: that of a new document.
Encoding asciiEncoding() { return forNewDocument().encoding; }

}  // namespace

class TestScriptCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<LineEnd>("lineEnd");
        QTest::addColumn<bool>("keepsOriginal");

        const auto utf8 = Encoding::Utf8;
        const auto cp = Encoding::Windows1252;
        const auto ascii = asciiEncoding();
        const auto crlf = LineEnd::CrLf, lf = LineEnd::Lf, cr = LineEnd::Cr;

        QTest::newRow("empty file") << QByteArray() << ascii << false << crlf << false;
        QTest::newRow("no line end") << QByteArray("echo off") << ascii << false << crlf << false;
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << ascii << false << crlf << false;
        QTest::newRow("CR LF, no final") << QByteArray("a\r\nb") << ascii << false << crlf << false;
        QTest::newRow("LF") << QByteArray("a\nb\n") << ascii << false << lf << false;
        QTest::newRow("CR") << QByteArray("a\rb\r") << ascii << false << cr << false;
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n") << ascii << false << crlf << false;
        QTest::newRow("NUL bytes") << QByteArray("a\0b\r\n\0", 7) << ascii << false << crlf << false;
        QTest::newRow("mixed, CR LF most") << QByteArray("a\r\nb\nc\r\n") << ascii << false << crlf << true;
        QTest::newRow("mixed, LF most") << QByteArray("a\nb\nc\r\nd\r") << ascii << false << lf << true;
        QTest::newRow("mixed, CR most") << QByteArray("a\rb\rc\r\n") << ascii << false << cr << true;
        QTest::newRow("CR then CR LF tie") << QByteArray("\r\r\n") << ascii << false << crlf << true;
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << ascii << false << lf << true;

        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F\r\n\xE2\x82\xAC") << utf8 << false << crlf << false;
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBFz\xC3\xA9\n") << utf8 << true << lf << false;
        QTest::newRow("BOM only") << QByteArray("\xEF\xBB\xBF") << utf8 << true << crlf << false;
        QTest::newRow("two BOMs") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << utf8 << true << crlf << false;
        QTest::newRow("BOM later only") << QByteArray("a\xEF\xBB\xBF") << utf8 << false << crlf << false;
        QTest::newRow("4-byte UTF-8") << QByteArray("\xF0\x9F\x97\xBA map\r\n") << utf8 << false << crlf << false;
        QTest::newRow("highest code point") << QByteArray("\xF4\x8F\xBF\xBF") << utf8 << false << crlf << false;
        QTest::newRow("2- and 3-byte minimum") << QByteArray("\xC2\x80\xE0\xA0\x80") << utf8 << false << crlf << false;
        QTest::newRow("around surrogates") << QByteArray("\xED\x9F\xBF\xEE\x80\x80") << utf8 << false << crlf << false;
        QTest::newRow("4-byte minimum") << QByteArray("\xF0\x90\x80\x80") << utf8 << false << crlf << false;
        QTest::newRow("UTF-8 mixed ends") << QByteArray("\xC3\xA4\r\n\xC3\xB6\n") << utf8 << false << crlf << true;

        QByteArray high;
        for (int b = 0x80; b <= 0xFF; ++b) high.append(char(b));
        QTest::newRow("1252 bytes 80-FF") << high << cp << false << crlf << false;
        QTest::newRow("1252 undefined five") << QByteArray("\x81\x8D\x8F\x90\x9D") << cp << false << crlf << false;
        QTest::newRow("1252 text CR LF") << QByteArray("caf\xE9\r\n\x80 5\r\n") << cp << false << crlf << false;
        QByteArray all;
        for (int b = 0; b <= 0xFF; ++b) all.append(char(b));
        QTest::newRow("all 256 bytes") << all << cp << false << lf << true;

        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << cp << false << crlf << false;
        QTest::newRow("C1 lead") << QByteArray("\xC1\xBF") << cp << false << crlf << false;
        QTest::newRow("overlong 3-byte max") << QByteArray("\xE0\x9F\xBF") << cp << false << crlf << false;
        QTest::newRow("overlong 4-byte max") << QByteArray("\xF0\x8F\xBF\xBF") << cp << false << crlf << false;
        QTest::newRow("extra continuation") << QByteArray("\xC3\xA9\xA9") << cp << false << crlf << false;
        QTest::newRow("overlong 3-byte") << QByteArray("\xE0\x80\xAF") << cp << false << crlf << false;
        QTest::newRow("overlong 4-byte") << QByteArray("\xF0\x80\x80\xAF") << cp << false << crlf << false;
        QTest::newRow("encoded surrogate") << QByteArray("a\xED\xA0\x80") << cp << false << crlf << false;
        QTest::newRow("surrogate pair as CESU") << QByteArray("\xED\xA0\xBD\xED\xB8\x80") << cp << false << crlf << false;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << cp << false << crlf << false;
        QTest::newRow("F5 lead") << QByteArray("\xF5\x80\x80\x80") << cp << false << crlf << false;
        QTest::newRow("truncated at end") << QByteArray("x\xE2\x82") << cp << false << crlf << false;
        QTest::newRow("truncated before CR LF") << QByteArray("\xE2\x82\r\n") << cp << false << crlf << false;
        QTest::newRow("lone continuation") << QByteArray("\x80") << cp << false << crlf << false;
        QTest::newRow("BOM then invalid") << QByteArray("\xEF\xBB\xBF\xFF\r\n") << cp << false << crlf << false;
        QTest::newRow("invalid, mixed ends") << QByteArray("\xFF\r\n\n\r") << cp << false << crlf << true;

        const auto le = Encoding::Utf16Le, be = Encoding::Utf16Be;
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFE" "a\0\r\0\n\0\xE9\0", 10) << le << false << crlf << false;
        QTest::newRow("UTF-16 BE, LF") << QByteArray("\xFE\xFF\0a\0\n\x4E\x2D", 8) << be << false << lf << false;
        QTest::newRow("UTF-16 mark only") << QByteArray("\xFF\xFE") << le << false << crlf << false;
        QTest::newRow("UTF-16 astral pair") << QByteArray("\xFF\xFE\x3D\xD8\xFA\xDD", 6) << le << false << crlf << false;
        QTest::newRow("UTF-16 lone surrogate kept") << QByteArray("\xFF\xFE\x00\xD8x\0", 6) << le << false << crlf << false;
        QTest::newRow("UTF-16 mixed ends") << QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0\n\0", 12) << le << false << crlf << true;
        QTest::newRow("odd length is not UTF-16") << QByteArray("\xFF\xFE" "a") << cp << false << crlf << false;
    }

    void roundTrip() {
        QFETCH(QByteArray, bytes);
        QFETCH(Encoding, encoding);
        QFETCH(bool, bom);
        QFETCH(LineEnd, lineEnd);
        QFETCH(bool, keepsOriginal);

        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(bytesOf(bytes), text);
        QCOMPARE(script.format().encoding, encoding);
        QCOMPARE(script.format().utf8Bom, bom);
        QCOMPARE(script.format().lineEnd, lineEnd);
        QCOMPARE(script.keepsOriginalBytes(), keepsOriginal);
        QVERIFY(text.find(u'\r') == std::u16string::npos);

        const EncodedScript saved = script.encode(text);
        QCOMPARE(toBytes(saved.bytes), bytes);
        QCOMPARE(saved.originalBytes, keepsOriginal);
        QVERIFY(!saved.switchedToUtf8);
        QVERIFY(saved.format == script.format());

        // Without the kept bytes, plain encoding alone must reproduce the file.
        if (!keepsOriginal) QCOMPARE(toBytes(encodeText(text, script.format()).bytes), bytes);
    }

    void decode_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");

        QTest::newRow("CR LF") << QByteArray("a\r\nb") << QStringLiteral("a\nb");
        QTest::newRow("CR") << QByteArray("a\rb") << QStringLiteral("a\nb");
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringLiteral("a\n\nb");
        QTest::newRow("CR CR LF") << QByteArray("\r\r\n") << QStringLiteral("\n\n");
        QTest::newRow("final CR") << QByteArray("a\r") << QStringLiteral("a\n");
        QTest::newRow("UTF-8 euro") << QByteArray("\xE2\x82\xAC") << QString(QChar(0x20AC));
        QTest::newRow("BOM dropped") << QByteArray("\xEF\xBB\xBFx") << QStringLiteral("x");
        QTest::newRow("UTF-16 LE") << QByteArray("\xFF\xFEG\0r\0\xFC\0\r\0\n\0", 12) << toQString(u"Gr\u00FC\n");
        QTest::newRow("UTF-16 BE, CR") << QByteArray("\xFE\xFF\x20\xAC\0\r\0x", 8) << toQString(u"\u20AC\nx");
        QTest::newRow("second BOM kept") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF") << QString(QChar(0xFEFF));
        QTest::newRow("astral") << QByteArray("\xF0\x9F\x97\xBA") << QString::fromUcs4(U"\U0001F5FA");
        QTest::newRow("1252 euro") << QByteArray("\x80") << QString(QChar(0x20AC));
        QTest::newRow("1252 quotes") << QByteArray("\x93q\x94") << toQString(u"\u201Cq\u201D");
        QTest::newRow("1252 undefined") << QByteArray("\x81\x8D\x8F\x90\x9D")
                                        << toQString(u"\u0081\u008D\u008F\u0090\u009D");
        QTest::newRow("1252 latin") << QByteArray("\xC4\xFF") << toQString(u"\u00C4\u00FF");
        QTest::newRow("truncated is 1252") << QByteArray("\xC3") << QString(QChar(0xC3));
        QTest::newRow("surrogate is 1252") << QByteArray("\xED\xA0\x80") << toQString(u"\u00ED\u00A0\u20AC");
        QTest::newRow("BOM bytes in 1252") << QByteArray("\xEF\xBB\xBF\xFF") << toQString(u"\u00EF\u00BB\u00BF\u00FF");
    }

    void decode() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        std::u16string decoded;
        LoadedScript::fromBytes(bytesOf(bytes), decoded);
        QCOMPARE(toQString(decoded), text);
    }

    void encodeAfterEdit_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("CR LF file") << QByteArray("a\r\nb") << QStringLiteral("a\nb\nc") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("LF file") << QByteArray("a\nb\n") << QStringLiteral("a\nX\n") << QByteArray("a\nX\n");
        QTest::newRow("CR file") << QByteArray("a\rb") << QStringLiteral("a\n\nb") << QByteArray("a\r\rb");
        QTest::newRow("no line end gets CR LF") << QByteArray("one") << QStringLiteral("one\ntwo") << QByteArray("one\r\ntwo");
        QTest::newRow("mixed uses most frequent") << QByteArray("a\nb\nc\r\n") << QStringLiteral("a\nb\nc\nd")
                                                  << QByteArray("a\nb\nc\nd");
        QTest::newRow("CR LF in text is one end") << QByteArray("a\nb") << QStringLiteral("a\r\nb\rc")
                                                  << QByteArray("a\nb\nc");
        QTest::newRow("BOM kept") << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n") << toQString(u"\u00E9\n\u00E8")
                                  << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n\xC3\xA8");
        QTest::newRow("1252 stays 1252") << QByteArray("caf\xE9") << toQString(u"caf\u00E9 \u20AC\u0081")
                                         << QByteArray("caf\xE9 \x80\x81");
        QTest::newRow("emptied file") << QByteArray("a\r\n") << QString() << QByteArray();
        QTest::newRow("UTF-16 LE stays") << QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8) << toQString(u"a\n\u5730")
                                         << QByteArray("\xFF\xFE" "a\0\r\0\n\0\x30\x57", 10);
        QTest::newRow("UTF-16 BE stays") << QByteArray("\xFE\xFF\0a", 4) << toQString(u"\u00E9a")
                                         << QByteArray("\xFE\xFF\0\xE9\0" "a", 6);
        QTest::newRow("UTF-16 emptied keeps its mark") << QByteArray("\xFF\xFE" "a\0", 4) << QString() << QByteArray("\xFF\xFE");
    }

    void encodeAfterEdit() {
        QFETCH(QByteArray, original);
        QFETCH(QString, edited);
        QFETCH(QByteArray, expected);

        std::u16string text;
        const LoadedScript script = LoadedScript::fromBytes(bytesOf(original), text);
        const EncodedScript saved = script.encode(toU16(edited));
        QCOMPARE(toBytes(saved.bytes), expected);
        QVERIFY(!saved.originalBytes);
        QVERIFY(!saved.switchedToUtf8);
    }

    void unrepresentable_data() {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<int>("replaced");

        // 0xE9 alone is not UTF-8, so these files are in the 8-bit code page.
        QTest::newRow("CJK into 1252") << QByteArray("\xE9\r\n") << toQString(u"\u00E9\n\u5730")
                                       << QByteArray("\xC3\xA9\r\n\xE5\x9C\xB0") << true << 0;
        QTest::newRow("astral into 1252") << QByteArray("\xE9") << QString::fromUcs4(U"\U0001F5FA")
                                          << QByteArray("\xF0\x9F\x97\xBA") << true << 0;
        QTest::newRow("lone surrogate into UTF-8") << QByteArray("\xC3\xA9") << QString(QChar(0xD800)) + u'x'
                                                   << QByteArray("\xEF\xBF\xBDx") << false << 1;
        QTest::newRow("reversed pair into UTF-8 BOM") << QByteArray("\xEF\xBB\xBF")
                                                      << toQString(u"\xDC00\xD800")
                                                      << QByteArray("\xEF\xBB\xBF\xEF\xBF\xBD\xEF\xBF\xBD") << false << 2;
        QTest::newRow("lone surrogate into 1252") << QByteArray("\xE9") << QString(QChar(0xDFFF))
                                                  << QByteArray("\xEF\xBF\xBD") << true << 1;
    }

    void unrepresentable() {
        QFETCH(QByteArray, original);
        QFETCH(QString, edited);
        QFETCH(QByteArray, expected);
        QFETCH(bool, switched);
        QFETCH(int, replaced);

        std::u16string text;
        LoadedScript script = LoadedScript::fromBytes(bytesOf(original), text);
        const TextFormat before = script.format();
        const EncodedScript saved = script.encode(toU16(edited));
        QCOMPARE(toBytes(saved.bytes), expected);
        QCOMPARE(saved.switchedToUtf8, switched);
        QCOMPARE(saved.replacedCharacters, std::size_t(replaced));
        QCOMPARE(saved.format.encoding, Encoding::Utf8);
        QCOMPARE(saved.format.lineEnd, before.lineEnd);
        // Encoding is a query: the document's format changes only once saved.
        QVERIFY(script.format() == before);

        script.markSaved(saved);
        QCOMPARE(script.format().encoding, Encoding::Utf8);
        // What was written decodes to the same text (less the replaced halves),
        // and saving it again needs no switch.
        std::u16string reread;
        LoadedScript::fromBytes(saved.bytes, reread);
        if (replaced == 0) QCOMPARE(toQString(reread), edited);
        QVERIFY(!script.encode(reread).switchedToUtf8);
    }

    void savedEditReplacesOriginal() {
        const QByteArray mixed("a\r\nb\nc\r\n");
        std::u16string text;
        LoadedScript script = LoadedScript::fromBytes(bytesOf(mixed), text);
        QVERIFY(script.keepsOriginalBytes());

        // Saving unchanged keeps the original bytes and keeps them around.
        const EncodedScript same = script.encode(text);
        QVERIFY(same.originalBytes);
        script.markSaved(same);
        QVERIFY(script.keepsOriginalBytes());

        // A save after an edit puts the plain encoding on disk; the old bytes are
        // gone and must not come back for the old text either.
        const EncodedScript edited = script.encode(u"a\nb\nc\nd");
        QCOMPARE(toBytes(edited.bytes), QByteArray("a\r\nb\r\nc\r\nd"));
        script.markSaved(edited);
        QVERIFY(!script.keepsOriginalBytes());
        QCOMPARE(toBytes(script.encode(text).bytes), QByteArray("a\r\nb\r\nc\r\n"));

        // A text differing only in length from the original is not mistaken for it.
        LoadedScript again = LoadedScript::fromBytes(bytesOf(mixed), text);
        QVERIFY(!again.encode(text.substr(0, text.size() - 1)).originalBytes);
        QVERIFY(!again.encode(text + u"x").originalBytes);
    }

    void newDocument() {
        const TextFormat f = forNewDocument();
        QCOMPARE(f.lineEnd, LineEnd::CrLf);
        QVERIFY(!f.utf8Bom);
#ifdef _WIN32
        QCOMPARE(f.encoding, Encoding::Windows1252);
#else
        QCOMPARE(f.encoding, Encoding::Utf8);
#endif
        const LoadedScript script;
        QVERIFY(script.format() == f);
        const EncodedScript saved = script.encode(u"@echo off\nREM x");
        QCOMPARE(toBytes(saved.bytes), QByteArray("@echo off\r\nREM x"));
        QVERIFY(script.encode(u"").bytes.empty());
    }
};

QTEST_APPLESS_MAIN(TestScriptCodec)
#include "test_script_codec.moc"
