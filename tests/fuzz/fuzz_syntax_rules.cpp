// Coloured parts stay inside the line, in order, never overlapping or empty.
#include "app/core/syntax_rules.h"
#include "harness.h"

using namespace mq::app;

MQ_FUZZ_TARGET(input)
{
    // Two bytes per character, so every UTF-16 unit can come up.
    std::u16string line;
    for (size_t i = 0; i + 1 < input.size(); i += 2)
        line.push_back(char16_t(std::uint8_t(input[i]) | (std::uint8_t(input[i + 1]) << 8)));
    for (FileKind kind : {FileKind::Plain, FileKind::Batch, FileKind::Awk, FileKind::ColorTable}) {
        int end = 0;
        for (const Span& span : classifyLine(kind, line)) {
            check(span.start >= end && span.length > 0 &&
                  size_t(span.start) + size_t(span.length) <= line.size());
            end = span.start + span.length;
        }
    }
    fileKindFor(line);
}
