#include "tools/line_blocks.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace mq::tools {

namespace {

// Files from this size on are converted in blocks; below it a second thread
// gains too little.
constexpr std::int64_t kBlocksFrom = std::int64_t{4} << 20;
constexpr std::size_t kBlockBytes = std::size_t{512} << 10;
// Blocks in the run at a time: read, being converted, or waiting to be written.
constexpr std::size_t kSlots = 4;

struct Block {
    std::vector<char> text;     // whole lines; the last line of the file may lack its LF
    std::int64_t first = 0;     // lines before the block
    std::int64_t lines = 0;     // lines read from it
    std::int64_t records = 0;
    bool failed = false;
    Error error;
    std::string out;
};

// Cuts the file into blocks that end after an LF (or at the end of the file).
class BlockReader {
public:
    explicit BlockReader(io::InputFile& in) : in_(in) {}

    // The next block of about `bytes` into `b.text`; false at the end of the
    // file (or on a read error, which the file reports).
    bool next(Block& b, std::size_t bytes)
    {
        b.text.assign(rest_.begin(), rest_.end());
        rest_.clear();
        for (;;) {
            const std::size_t old = b.text.size();
            b.text.resize(old + bytes);
            const std::size_t got = in_.read(b.text.data() + old, bytes);
            b.text.resize(old + got);
            if (got == 0) return !b.text.empty();
            // The block so far has no LF before `old` (a block longer than
            // `bytes` is one long line), so the last LF is in the new part.
            const auto from = b.text.begin() + static_cast<std::ptrdiff_t>(old);
            const auto lf = std::find(std::make_reverse_iterator(b.text.end()),
                                      std::make_reverse_iterator(from), '\n');
            if (lf.base() != from) {
                rest_.assign(lf.base(), b.text.end());
                b.text.erase(lf.base(), b.text.end());
                return true;
            }
        }
    }

private:
    io::InputFile& in_;
    std::vector<char> rest_;   // read past the last LF of the previous block
};

std::int64_t line_count(const std::vector<char>& text)
{
    const auto lfs = std::count(text.begin(), text.end(), '\n');
    return lfs + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

void convert_block(Block& b, const LineConverter& convert)
{
    b.out.clear();
    b.lines = 0;
    b.records = 0;
    b.failed = false;
    const char* p = b.text.data();
    const char* const end = p + b.text.size();
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* line_end = lf ? lf : end;
        std::string_view line(p, static_cast<std::size_t>(line_end - p));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        p = lf ? lf + 1 : end;
        if (++b.lines + b.first == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        const LineStep step = convert(line, b.out, b.error);
        if (step == LineStep::failed) {
            b.failed = true;
            return;
        }
        if (step == LineStep::written) ++b.records;
    }
}

}  // namespace

bool convert_in_blocks_pays(const io::InputFile& in)
{
    return in.size() >= kBlocksFrom && std::thread::hardware_concurrency() > 1;
}

BlockRun convert_in_blocks(io::InputFile& in, io::OutputFile& out, const LineConverter& convert,
                           bool count_records, const ProgressFn& progress, const StopFn& stop)
{
    BlockRun run;
    BlockReader reader(in);
    std::int64_t next_first = 0;
    std::int64_t done = 0;   // bytes of the blocks written
    // False when the block ended on a bad line.
    const auto write = [&](const Block& b) {
        out.write(b.out);
        run.records += b.records;
        run.lines = b.first + b.lines;
        done += static_cast<std::int64_t>(b.text.size());
        if (!b.failed) return true;
        run.failed = true;
        run.error = b.error;
        run.error.line = run.lines;
        return false;
    };

    // Blocks are numbered in file order; block n lives in slot n % kSlots.
    // The calling thread reads blocks ahead into free slots and writes the
    // converted ones in order; between that, it converts as the other thread
    // does, the next block nobody has taken. So both cores stay busy and the
    // output keeps the input's order.
    std::array<Block, kSlots> blocks;
    std::array<bool, kSlots> converted{};
    std::uint64_t read_count = 0;   // blocks read: 0 .. read_count - 1
    std::uint64_t next_take = 0;    // the next block to convert
    std::uint64_t next_write = 0;   // the next block to write
    bool quit = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::jthread other([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return quit || next_take < read_count; });
            if (quit) return;
            const std::uint64_t n = next_take++;
            lock.unlock();
            convert_block(blocks[n % kSlots], convert);
            lock.lock();
            converted[n % kSlots] = true;
            changed.notify_all();
        }
    });
    // However the run ends, the other thread ends before the blocks go.
    struct EndOther {
        std::mutex& mutex;
        bool& quit;
        std::condition_variable& changed;
        ~EndOther()
        {
            {
                std::lock_guard lock(mutex);
                quit = true;
            }
            changed.notify_all();
        }
    } end_other{mutex, quit, changed};

    bool at_end = false;
    for (;;) {
        // A slot whose block was written is free; only this thread reads
        // into it, before the block is counted as read.
        while (!at_end && read_count - next_write < kSlots) {
            Block& b = blocks[read_count % kSlots];
            if (!reader.next(b, kBlockBytes)) {
                at_end = true;
                break;
            }
            b.first = next_first;
            next_first += line_count(b.text);
            std::lock_guard lock(mutex);
            converted[read_count % kSlots] = false;
            ++read_count;
            changed.notify_all();
        }
        if (at_end && next_write == read_count) break;
        std::unique_lock lock(mutex);
        if (converted[next_write % kSlots]) {
            lock.unlock();
            if (stop && stop()) {
                run.stopped = true;
                break;
            }
            if (!write(blocks[next_write % kSlots])) break;
            ++next_write;
            if (progress) progress({count_records ? run.records : run.lines, done, in.size()});
        } else if (next_take < read_count) {
            const std::uint64_t n = next_take++;
            lock.unlock();
            convert_block(blocks[n % kSlots], convert);
            lock.lock();
            converted[n % kSlots] = true;
        } else {
            changed.wait(lock, [&] { return converted[next_write % kSlots]; });
        }
    }
    return run;
}

BlockRun convert_lines(io::InputFile& in, io::OutputFile& out, const LineConverter& convert,
                       bool count_records, const ProgressFn& progress, const StopFn& stop)
{
    if (convert_in_blocks_pays(in)) return convert_in_blocks(in, out, convert, count_records, progress, stop);
    BlockRun run;
    io::LineReader reader(in);
    std::string_view line;
    std::string text;   // the output line, reused
    while (true) {
        if (stop && stop()) {
            run.stopped = true;
            break;
        }
        if (!reader.next(line)) break;
        run.lines = reader.line_number();
        if (progress && !count_records) progress({run.lines, in.position(), in.size()});
        text.clear();
        const LineStep step = convert(line, text, run.error);
        if (step == LineStep::failed) {
            run.failed = true;
            run.error.line = reader.line_number();
            break;
        }
        if (step == LineStep::skipped) continue;
        out.write(text);
        ++run.records;
        if (progress && count_records) progress({run.records, in.position(), in.size()});
    }
    return run;
}

}  // namespace mq::tools
