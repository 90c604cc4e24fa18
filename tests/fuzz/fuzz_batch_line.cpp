// Any bytes as a line of a batch file, and as a file name written into one:
// what cmd.exe's rules read back must be the name that was written.
#include "tools/batch_runner.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace mq::tools;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    classify_batch_line(text);
    if (text.find_first_of("\r\n") != std::string::npos) return 0;   // no name of a line holds a line end
    if (const auto argument = batch_argument(text)) {
        const BatchLine read = classify_batch_line("del " + *argument);
        if (read.kind != BatchLineKind::Delete || read.words.size() != 1 || read.words[0] != text) std::abort();
    } else if (text.find('"') == std::string::npos) {
        std::abort();
    }
    // Echo drops blanks at the end of its line and reads "off" and "on" as switches.
    std::string lower = text;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (text.find('"') == std::string::npos && !text.empty() && text.back() != ' ' && text.back() != '\t' &&
        lower != "off" && lower != "on") {
        const BatchLine echo = classify_batch_line("echo " + batch_echo_text(text));
        if (echo.kind != BatchLineKind::Echo || echo.text != text) std::abort();
    }
    return 0;
}
