// The blank splitter and the placemark writer on four lines cut at LF.
#include "harness.h"
#include "tools/replace_text.h"

#include <array>

MQ_FUZZ_TARGET(text)
{
    const std::vector<std::string> cut = mq::fuzz::pieces(text, '\n', 4);
    const std::array<std::string_view, 4> lines{cut[0], cut[1], cut[2], cut[3]};
    for (const auto line : lines) {
        std::string_view fields[12];
        const std::size_t count = mq::tools::split_blanks(line, fields, 12);
        std::size_t blanks = 0;
        for (char c : line) blanks += c == ' ';
        check(count == blanks + 1);
        // The stored fields joined with blanks give back the start of the line.
        std::string joined;
        for (std::size_t i = 0; i < count && i < 12; ++i) joined += (i ? " " : "") + std::string(fields[i]);
        check(line.starts_with(joined));
    }

    std::string out;
    const auto made = mq::tools::append_placemark(lines, out);
    if (made.ok()) {
        check(out.starts_with("<Placemark> <name> "));
        check(out.ends_with("</coordinates> </LineString>  </Placemark>\r\n\r\n"));
    } else {
        check(out.empty() && made.error().line >= 1 && made.error().line <= 4);
    }
}
