// A UTM file (zone and hemisphere from bytes 0-1), and its text through the coordinate reader.
#include "calc/coordinate_text.h"
#include "harness.h"
#include "tools/utm_file.h"

#include <algorithm>

MQ_FUZZ_TARGET(input)
{
    if (input.size() < 2) return;
    const std::string text = input.substr(2);
    if (const auto value = mq::calc::coord_to_decimal(text)) {
        const auto degmm = mq::calc::dec2degmm(value.value());
        check(degmm && degmm->find_first_of("\t\r\n") == std::string::npos);
    }

    const mq::calc::UtmState state{static_cast<std::int16_t>(static_cast<std::int8_t>(input[0])),
                                   input[1] & 1 ? "N" : "S"};
    const std::string in = mq::fuzz::input_file("in.txt", text), out = mq::fuzz::file("out.txt");
    const auto r = mq::tools::convert_utm_file(in, out, state, {}, {});
    const std::string result = mq::fuzz::take_output(out);
    std::int64_t lines = 0;
    std::size_t start = 0;
    for (std::size_t end; (end = result.find('\n', start)) != std::string::npos; start = end + 1, ++lines) {
        const std::string_view line = std::string_view(result).substr(start, end - start);
        check(line.ends_with('\r') && std::count(line.begin(), line.end(), '\t') == 2);
    }
    check(start == result.size());
    // A failed run writes only lines before the one that failed.
    check(r ? lines == r->records : r.error().line == 0 || lines < r.error().line);
}
