// Binary xyz files (three little-endian doubles per record, 24 bytes, no
// header) written out as tab-separated text.
#pragma once

#include "common/result.h"
#include "tools/runner.h"

#include <string>

namespace mq::tools {

// One line per record: x TAB y TAB z CR LF, each number in the general form
// (zeros too). A final piece shorter than 24 bytes is not written; its size
// comes back in `left_over`. The stop query is asked before every record,
// progress (count = records so far, bytes done of total) comes every few
// thousand records and at the end. On a stop or a read error the lines
// written so far stay (beside an existing output, see
// io::OutputFile::keep_partial).
Result<RunSummary> convert_binary_xyz(const std::string& input, const std::string& output,
                                      const ProgressFn& progress, const StopFn& stop);

}  // namespace mq::tools
