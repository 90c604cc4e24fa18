// Any line, in every kind of file: the coloured parts stay inside the line,
// in order, without overlaps and never empty.
#include "app/core/syntax_rules.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace mq::app;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Two bytes per character, so every UTF-16 unit can come up.
    std::u16string line;
    for (size_t i = 0; i + 1 < size; i += 2) line.push_back(char16_t(data[i] | (data[i + 1] << 8)));
    for (FileKind kind : {FileKind::Plain, FileKind::Batch, FileKind::Awk, FileKind::ColorTable}) {
        int end = 0;
        for (const Span& span : classifyLine(kind, line)) {
            if (span.start < end || span.length <= 0 || size_t(span.start) + size_t(span.length) > line.size())
                std::abort();
            end = span.start + span.length;
        }
    }
    fileKindFor(line);
    return 0;
}
