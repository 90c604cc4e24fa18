#include "tools/binary_xyz.h"

#include "common/file_stream.h"
#include "common/number_rules.h"

#include <algorithm>
#include <bit>
#include <vector>

namespace mq::tools {

namespace {

double get_le_double(const unsigned char* p)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | p[i];
    return std::bit_cast<double>(bits);
}

constexpr std::size_t kRecord = 24;
constexpr std::size_t kRecordsPerBlock = 8192;
constexpr std::int64_t kProgressEvery = 4096;

}  // namespace

Result<RunSummary> convert_binary_xyz(const std::string& input, const std::string& output,
                                            const ProgressFn& progress, const StopFn& stop)
{
    if (auto s = io::check_distinct_files(input, output); !s) return s.error();
    io::InputFile in;
    if (auto s = in.open(input); !s) return s.error();
    io::OutputFile out;
    if (auto s = out.open(output); !s) return s.error();

    RunSummary outcome;
    std::vector<unsigned char> block(kRecord * kRecordsPerBlock);
    char line[3 * numbers::kGeneralTextMax + 4];
    std::size_t pending = 0;   // bytes in `block` not yet used (a piece of a record)
    for (;;) {
        const std::size_t got = in.read(reinterpret_cast<char*>(block.data()) + pending, block.size() - pending);
        if (in.failed()) {
            Error e = in.error();
            auto kept = out.keep_partial(outcome.records, input);
            if (!kept) return kept.error();
            e.note = kept.value();
            return e;
        }
        const std::size_t have = pending + got;
        const std::size_t whole = have / kRecord;
        for (std::size_t i = 0; i < whole; ++i) {
            if (stop && stop()) {
                outcome.stopped = true;
                break;
            }
            const unsigned char* record = block.data() + i * kRecord;
            char* p = line;
            p += numbers::general_text_to(p, get_le_double(record));
            *p++ = '\t';
            p += numbers::general_text_to(p, get_le_double(record + 8));
            *p++ = '\t';
            p += numbers::general_text_to(p, get_le_double(record + 16));
            *p++ = '\r';
            *p++ = '\n';
            out.write(std::string_view(line, static_cast<std::size_t>(p - line)));
            if (++outcome.records % kProgressEvery == 0 && progress)
                progress({outcome.records, outcome.records * static_cast<std::int64_t>(kRecord), in.size()});
        }
        if (outcome.stopped) break;
        pending = have - whole * kRecord;
        if (pending) std::copy(block.begin() + static_cast<std::ptrdiff_t>(whole * kRecord),
                               block.begin() + static_cast<std::ptrdiff_t>(have), block.begin());
        if (got == 0) break;
    }
    if (!outcome.stopped) outcome.left_over = static_cast<std::int64_t>(pending);
    if (progress) progress({outcome.records, in.position(), in.size()});
    if (outcome.stopped) {
        auto kept = out.keep_partial(outcome.records, input);
        if (!kept) return kept.error();
        outcome.kept = kept.value();
        return outcome;
    }
    if (auto s = out.commit(); !s) return s.error();
    return outcome;
}

}  // namespace mq::tools
