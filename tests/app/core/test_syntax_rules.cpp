// The parts of script lines that get their own colour (the tables in
// data/documents.txt).
#include "app/core/syntax_rules.h"
#include "case_file.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

#include <string>

using namespace mq::app;

namespace {

// The line with each coloured part marked as "[kind:text]" (ASCII lines only).
std::string marked(FileKind kind, const std::string& line)
{
    static const char* const names[] = {"comment", "keyword", "echo",  "var",    "label", "module",
                                        "option",  "redir",   "string", "number", "special"};
    const std::u16string text(line.begin(), line.end());
    std::string out;
    int at = 0;
    for (const Span& span : classifyLine(kind, text)) {
        if (span.start < at || span.length <= 0 || span.start + span.length > int(text.size())) return "<bad span>";
        out += line.substr(at, span.start - at) + '[' + names[int(span.kind)] + ':' +
               line.substr(span.start, span.length) + ']';
        at = span.start + span.length;
    }
    return out + line.substr(at);
}

const char* const kGolden =
#include "documents_golden.h"
    ;

FileKind kind(const std::string& name)
{
    return name == "bat" ? FileKind::Batch : name == "awk" ? FileKind::Awk
         : name == "cpt" ? FileKind::ColorTable : FileKind::Plain;
}

}  // namespace

TEST_CASE("coloured parts of a line")
{
    for (const auto& row : mq::testing::golden_rows(kGolden, "syntax")) {   // case | kind | line | marked
        CAPTURE(row[0]);
        CHECK(marked(kind(row[1]), mq::testing::unescape(row[2])) == mq::testing::unescape(row[3]));
    }
}

TEST_CASE("the kind of file by its name")
{
    for (const auto& row : mq::testing::golden_rows(kGolden, "file_kind")) {
        CAPTURE(row[0]);
        const std::string path = mq::testing::unescape(row[0]);
        CHECK(fileKindFor(std::u16string(path.begin(), path.end())) == kind(row[1]));
    }
}
