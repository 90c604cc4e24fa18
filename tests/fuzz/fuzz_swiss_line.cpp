// Any bytes through the Swiss grid line reader and writer. The first byte
// picks the delimiter choice, the column order and the direction; the rest
// is the line.
#include "tools/swiss_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    static const char* const kChoices[] = {",", "TAB", "Space", ";", "", "ab", ", "};
    const std::uint8_t mode = data[0];
    mq::tools::SwissFileOptions options;
    options.delimiter = mq::tools::swiss_delimiter(kChoices[mode % 7]);
    options.yx = (mode & 0x08) != 0;
    options.to_swiss = (mode & 0x10) != 0;
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto record = mq::tools::read_swiss_line(line, options);
    if (!record) {
        if (record.error().message.empty()) std::abort();
        return 0;
    }
    // The third field is a piece of the line.
    const std::string_view third = record->third;
    if (third.data() < line.data() || third.data() + third.size() > line.data() + line.size()) std::abort();
    std::string out;
    mq::tools::write_swiss_line(record.value(), options, out);
    // Two numbers, TAB, TAB, the third field, CR LF.
    if (out.size() < third.size() + 4 || out.compare(out.size() - 2, 2, "\r\n") != 0) std::abort();
    if (out.compare(out.size() - 2 - third.size(), third.size(), third) != 0) std::abort();
    const std::size_t tab1 = out.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? tab1 : out.find('\t', tab1 + 1);
    if (tab1 == 0 || tab2 == std::string::npos || tab2 == tab1 + 1) std::abort();
    return 0;
}
