// The parts of script lines that get their own colour.
#include "app/core/syntax_rules.h"

#include <QtTest>

using namespace mq::app;

namespace {

// The line with each coloured part marked as "[kind:text]".
QString marked(FileKind kind, const QString& line)
{
    static const char* const names[] = {"comment", "keyword", "echo",  "var",    "label", "module",
                                        "option",  "redir",   "string", "number", "special"};
    const std::u16string text = line.toStdU16String();
    QString out;
    int at = 0;
    for (const Span& span : classifyLine(kind, text)) {
        if (span.start < at || span.length <= 0 || span.start + span.length > int(text.size())) return "<bad span>";
        out += line.mid(at, span.start - at);
        out += QStringLiteral("[%1:%2]").arg(QLatin1String(names[int(span.kind)]), line.mid(span.start, span.length));
        at = span.start + span.length;
    }
    return out + line.mid(at);
}

}  // namespace

class TestSyntaxRules : public QObject {
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        const int bat = int(FileKind::Batch), awk = int(FileKind::Awk), cpt = int(FileKind::ColorTable),
                  txt = int(FileKind::Plain);
        QTest::newRow("REM line") << bat << "REM grdgradient -A45" << "[comment:REM grdgradient -A45]";
        QTest::newRow("indented rem, lower case") << bat << "  rem x" << "  [comment:rem x]";
        QTest::newRow("REM inside a word is no comment") << bat << "REMARK" << "REMARK";
        QTest::newRow(":: comment") << bat << ":: note %x%" << "[comment::: note %x%]";
        QTest::newRow("echo REM is echo text") << bat << "echo REM -R" << "[keyword:echo][echo: REM -R]";
        QTest::newRow("echo with variable and redirection")
            << bat << "echo grid %grd_file%>>log.txt" << "[keyword:echo][echo: grid ][var:%grd_file%][redir:>>]log.txt";
        QTest::newRow("@echo off") << bat << "@echo off" << "@[keyword:echo][echo: off]";
        QTest::newRow("loop variable") << bat << "for %%i in (*.grd) do grdinfo %%i"
                                       << "[keyword:for] [var:%%i] [keyword:in] (*.grd) [keyword:do] [module:grdinfo] [var:%%i]";
        QTest::newRow("set") << bat << "set region=-R0/10/0/10" << "[keyword:set] region=-R0/10/0/10";
        QTest::newRow("module, options, variables")
            << bat << "grdimage %grd_file%.grd -JM15c -B1 -K > %ps_file%.ps"
            << "[module:grdimage] [var:%grd_file%].grd [option:-J]M15c [option:-B]1 [option:-K] [redir:>] [var:%ps_file%].ps";
        QTest::newRow("option letters inside a quoted path")
            << bat << "psxy \"C:\\my -Rdata\\%f%.txt\" -W1" << "[module:psxy] [string:\"C:\\my -Rdata\\][var:%f%][string:.txt\"] [option:-W]1";
        QTest::newRow("dash inside an unquoted path") << bat << "psxy C:\\a-Rb.txt" << "[module:psxy] C:\\a-Rb.txt";
        QTest::newRow("label and goto") << bat << ":end" << "[label::end]";
        QTest::newRow("goto target") << bat << "if errorlevel 1 goto end" << "[keyword:if] [keyword:errorlevel] 1 [keyword:goto] [label:end]";
        QTest::newRow("pipe starts a command") << bat << "minmax a.txt | awk \"{print $1}\""
                                               << "[module:minmax] a.txt [redir:|] awk [string:\"{print $1}\"]";
        QTest::newRow("unclosed quote and lone percent") << bat << "echo 50% \"open" << "[keyword:echo][echo: 50% \"open]";
        QTest::newRow("awk") << awk << "BEGIN { x = \"a#b\" } # note" << "[keyword:BEGIN] { x = [string:\"a#b\"] } [comment:# note]";
        QTest::newRow("awk fields and numbers") << awk << "NR % 10 == 0 {print $1, $NF}"
                                                << "[keyword:NR] % [number:10] == [number:0] {[keyword:print] [var:$1], [var:$NF]}";
        QTest::newRow("cpt comment") << cpt << "# COLOR_MODEL = RGB" << "[comment:# COLOR_MODEL = RGB]";
        QTest::newRow("cpt slice") << cpt << "-100\t0/0/255\t1.5e2 255/0/0"
                                   << "[number:-100]\t[number:0]/[number:0]/[number:255]\t[number:1.5e2] [number:255]/[number:0]/[number:0]";
        QTest::newRow("cpt B line") << cpt << "B 0 0 0" << "[special:B] [number:0] [number:0] [number:0]";
        QTest::newRow("cpt colour name") << cpt << "N gray" << "[special:N] gray";
        QTest::newRow("text files stay plain") << txt << "REM -R %x%" << "REM -R %x%";
        QTest::newRow("percent signs outside echo") << bat << "set p=50% %%~ni %"
                                                    << "[keyword:set] p=50% [var:%%~ni] %";
        QTest::newRow("empty") << bat << "" << "";
    }

    void lines()
    {
        QFETCH(int, kind);
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QCOMPARE(marked(FileKind(kind), line), expected);
    }

    void fileKinds_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("new document") << "Script" << int(FileKind::Batch);
        QTest::newRow("bat, upper case") << "C:\\maps\\RUN.BAT" << int(FileKind::Batch);
        QTest::newRow("awk") << "/maps/pick.awk" << int(FileKind::Awk);
        QTest::newRow("cpt") << "/maps/relief.cpt" << int(FileKind::ColorTable);
        QTest::newRow("txt") << "/maps/notes.txt" << int(FileKind::Plain);
        QTest::newRow("no extension in a folder") << "/maps/README" << int(FileKind::Plain);
        QTest::newRow("dot in the folder only") << "/maps.v2/README" << int(FileKind::Plain);
    }

    void fileKinds()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(fileKindFor(path.toStdU16String())), kind);
    }
};

QTEST_APPLESS_MAIN(TestSyntaxRules)
#include "test_syntax_rules.moc"
