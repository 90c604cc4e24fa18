// The floor of the coordinate file benchmarks: reads lines of two numbers and
// a third field and writes the two numbers back in their general form, TAB,
// the third field, CR LF. It goes through the same reader, number rules,
// blocks on two cores and writer as the tools, but converts nothing: what a
// tool takes beyond it is its conversion.
//   bench_number_floor IN OUT [DELIMITER]     (one character; default: blanks and TABs)
#include "common/file_stream.h"
#include "common/number_rules.h"
#include "tools/line_blocks.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

using mq::tools::LineStep;

// The first three fields, at blanks and TABs (as utm-file splits) or at a
// one-character delimiter (as the benchmark runs swiss).
bool split(std::string_view line, char delimiter, std::string_view (&fields)[3])
{
    std::size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const auto ends = [delimiter](char c) { return delimiter ? c == delimiter : c == ' ' || c == '\t'; };
        std::size_t end = start;
        while (end < line.size() && !ends(line[end])) ++end;
        fields[i] = line.substr(start, end - start);
        if (end == line.size()) return i == 2;
        start = end + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_number_floor IN OUT [DELIMITER]\n");
        return 2;
    }
    const char delimiter = argc > 3 ? argv[3][0] : '\0';
    mq::io::InputFile in;
    mq::io::OutputFile out;
    if (!in.open(argv[1]) || !out.open(argv[2])) {
        std::fprintf(stderr, "bench_number_floor: cannot open the files\n");
        return 1;
    }
    const mq::tools::LineConverter copy = [delimiter](std::string_view line, std::string& text,
                                                      mq::Error& e) {
        std::string_view fields[3];
        const auto a = split(line, delimiter, fields) ? mq::numbers::read_number(fields[0]) : std::nullopt;
        const auto b = a ? mq::numbers::read_number(fields[1]) : std::nullopt;
        if (!b) {
            e = mq::Error{"not two numbers and a third field", {}, 0};
            return LineStep::failed;
        }
        char number[mq::numbers::kGeneralTextMax];
        text.append(number, mq::numbers::general_text_to(number, *a));
        text += '\t';
        text.append(number, mq::numbers::general_text_to(number, *b));
        text += '\t';
        text += fields[2];
        text += "\r\n";
        return LineStep::written;
    };
    const auto run = mq::tools::convert_in_blocks(in, out, copy, true, {}, {});
    if (run.failed) {
        std::fprintf(stderr, "%s:%lld: %s\n", argv[1], static_cast<long long>(run.error.line),
                     run.error.message.c_str());
        return 1;
    }
    if (!out.commit()) return 1;
    return 0;
}
