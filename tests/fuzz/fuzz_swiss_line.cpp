// The Swiss grid line reader and writer; byte 0 picks delimiter, column order and direction.
#include "harness.h"
#include "tools/swiss_file.h"

MQ_FUZZ_TARGET(input)
{
    if (input.empty()) return;
    static const char* const kChoices[] = {",", "TAB", "Space", ";", "", "ab", ", "};
    const unsigned mode = std::uint8_t(input[0]);
    mq::tools::SwissFileOptions options;
    options.delimiter = mq::tools::swiss_delimiter(kChoices[mode % 7]);
    options.yx = (mode & 0x08) != 0;
    options.to_swiss = (mode & 0x10) != 0;
    const std::string_view line = std::string_view(input).substr(1);

    const auto record = mq::tools::read_swiss_line(line, options);
    check(record || !record.error().message.empty());
    if (!record) return;
    // The third field is a piece of the line.
    const std::string_view third = record->third;
    check(third.data() >= line.data() && third.data() + third.size() <= line.data() + line.size());
    std::string out;
    mq::tools::write_swiss_line(record.value(), options, out);
    // Two numbers, TAB, TAB, the third field, CR LF.
    check(out.size() >= third.size() + 4 && out.ends_with(std::string(third) + "\r\n"));
    const std::size_t tab1 = out.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : out.find('\t', tab1 + 1);
    check(tab1 != 0 && tab2 != std::string::npos && tab2 != tab1 + 1);
}
