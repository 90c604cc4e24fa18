// The notation detection and every conversion: the sign is kept, the rewritten input stable.
#include "calc/notation.h"
#include "harness.h"

MQ_FUZZ_TARGET(text)
{
    const auto detection = mq::calc::detect_notation(text);
    const auto selected = detection.selected;
    if (selected) check(*selected >= 0 && *selected < mq::calc::kConversionCount);
    for (int conversion = -1; conversion <= mq::calc::kConversionCount; ++conversion) {
        const auto r = mq::calc::convert_notation(text, conversion);
        const bool negative = !text.empty() && text.front() == '-';
        if (r.result) {
            check(!negative || r.result->front() == '-');
        } else {
            check(!r.result.error().message.empty());
        }
        check(mq::calc::convert_notation(r.rewritten, 0).rewritten == r.rewritten);
    }
}
