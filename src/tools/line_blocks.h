// Converting a large text file line by line on two cores. The file is cut
// into blocks of whole lines, which the calling thread and one other convert
// side by side; their output is written in the order of the input. Memory
// stays fixed: four blocks and their output, whatever the file size (apart
// from a single line longer than a block, which grows it).
#pragma once

#include "common/file_stream.h"
#include "common/result.h"
#include "tools/runner.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mq::tools {

// What converting one line did.
enum class LineStep { written, skipped, failed };

// Converts one line (without its line end, a byte-order mark before the first
// line taken away), appending the output line to `out`; on a bad line sets
// `error` (without file and line) and returns LineStep::failed. Called from
// two threads at once: it may only read what it shares.
using LineConverter = std::function<LineStep(std::string_view line, std::string& out, Error& error)>;

// True when `in` is large enough to be worth converting in blocks and there
// is a second core to do it.
bool convert_in_blocks_pays(const io::InputFile& in);

// What a run in blocks did.
struct BlockRun {
    std::int64_t lines = 0;     // lines read, up to the bad line
    std::int64_t records = 0;   // output lines written
    bool stopped = false;
    bool failed = false;
    Error error;                // of the bad line, with its line number and without its file
};

// Converts the lines of `in` into `out` as a line-by-line loop would. The
// stop query is read before each block is written, and progress reported
// after it, from the calling thread only: its count is the records written with
// `count_records`, else the lines read. On a bad line the output holds the
// lines before it and nothing after.
BlockRun convert_in_blocks(io::InputFile& in, io::OutputFile& out, const LineConverter& convert,
                           bool count_records, const ProgressFn& progress, const StopFn& stop);

// Converts the lines of `in` into `out`: in blocks where that pays, else one
// line at a time, the stop query read before each line and progress reported
// after each line read (after each record written with `count_records`).
BlockRun convert_lines(io::InputFile& in, io::OutputFile& out, const LineConverter& convert,
                       bool count_records, const ProgressFn& progress, const StopFn& stop);

}  // namespace mq::tools
