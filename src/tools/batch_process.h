// Running the programs of one batch line: a pipeline of programs joined by
// pipes, with their redirections, their output read as it comes, and all of
// them ended at once when the run is stopped (one process group on POSIX, a
// job object on Windows).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::tools::batch {

// Where a stream of a stage goes instead of the pipe or the run's output.
struct StageFile {
    int handle = 1;    // 0 the input, 1 the output, 2 the error output
    std::string path;  // a full path; empty for the null device
    bool append = false;
    int copy_of = -1;  // 1 or 2: the same as that handle ("2>&1")
};

struct Stage {
    std::string program;              // a full path
    std::vector<std::string> words;   // the program's words; words[0] names it
    std::optional<std::string> text;  // a stage that only writes this text (echo in a pipe)
    std::vector<StageFile> files;     // in the order written
};

struct PipelineEnd {
    int status = 0;        // of the last stage
    bool stopped = false;  // ended by the stop query
    std::string why;       // why it could not start; empty when it ran
};

using OutputSink = std::function<void(bool error, std::string_view text)>;

// Runs the stages at once, each one's output into the next one's input, in
// `folder` with `environment` (NAME=VALUE). The first stage reads the null
// device unless redirected; what the last writes and what any writes on its
// error output go to `sink` as it comes. `stop` is asked every 100 ms.
PipelineEnd run_pipeline(const std::vector<Stage>& stages, const std::string& folder,
                         const std::vector<std::string>& environment, const OutputSink& sink,
                         const std::function<bool()>& stop);

// The null device's name ("/dev/null", "NUL").
std::string null_device();

}  // namespace mq::tools::batch
