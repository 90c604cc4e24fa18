// Any text through the notation detection and all six conversions. Beyond
// not crashing, a result must carry the sign of the input and the rewritten
// input must be stable.
#include "calc/notation.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto detection = mq::calc::detect_notation(text);
    if (detection.selected && (*detection.selected < 0 || *detection.selected >= mq::calc::kConversionCount))
        std::abort();
    for (int conversion = -1; conversion <= mq::calc::kConversionCount; ++conversion) {
        const auto r = mq::calc::convert_notation(text, conversion);
        const bool negative = !text.empty() && text.front() == '-';
        if (r.result) {
            if (negative && r.result->front() != '-') std::abort();
        } else if (r.result.error().message.empty()) {
            std::abort();
        }
        if (mq::calc::convert_notation(r.rewritten, 0).rewritten != r.rewritten) std::abort();
    }
    return 0;
}
