// What a script run prints, read for messages that point back at the script:
// GMT's errors and warnings, programs not found and failed commands, each
// linked to the script line that caused it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::app {

enum class MessageKind { error, warning, note };

// One message about a place in a file; line 0 when no line is known.
struct LinkedMessage {
    std::string file;
    int line = 0;
    int column = 0;
    std::string text;
    MessageKind kind = MessageKind::error;
    bool operator==(const LinkedMessage&) const = default;
};

// Splits what a stream delivers, in pieces of any size, into lines; "\n" and
// "\r\n" end a line.
class LineCollector {
public:
    std::vector<std::string> feed(std::string_view piece);
    // The last line when it had no line end.
    std::optional<std::string> finish();

private:
    std::string pending_;
};

// A script run by bash reports each line it starts, and each command that
// fails, on its error output: a line holding kTraceMark, "L<line>" or
// "F<status>:<line>", and a line end. The arguments to give bash for that:
// the script is read in its own folder under its own name.
inline constexpr char kTraceMark = '\x1f';
std::vector<std::string> traced_bash_arguments(const std::string& script_name);

// One line of a traced run's error output: the text before a report is the
// program's own (`text`, `has_text` false when there is none).
struct TraceLine {
    std::string text;
    bool has_text = true;
    int line = 0;            // the line started or failed; 0: no report
    int failed_status = 0;   // the status of a failed command; 0: a line started
};
TraceLine read_trace_line(std::string_view line);

// How a run tells which script line runs.
enum class LineSource {
    reported,   // bash with its reports, or the batch runner
    none,       // cmd.exe: a message goes to the line that calls its module
};

// Whether a script line calls a program or GMT module, under its GMT 4 or
// GMT 6 name (psbasemap, basemap, gmt psbasemap, gmtinfo, info, ...);
// comments and echo lines call nothing.
bool line_calls(std::string_view line, std::string_view module);

class RunMessageReader {
public:
    // `file` is the script's path as messages carry it; `script_text` its text.
    RunMessageReader(std::string file, std::string_view script_text, LineSource source);

    const std::string& file() const { return file_; }
    void line_started(int line);
    int current_line() const { return current_; }
    // A script line without its line end; empty beyond the last line.
    std::string line_text(int line) const;

    // One line the run printed; a message when it is one.
    std::optional<LinkedMessage> read_line(std::string_view text);
    // A command of `line` failed with `status`: a message unless the line
    // has had one already.
    std::optional<LinkedMessage> line_failed(int line, int status);
    // A note of the runner about a line ("line 5: -H0 run as -h0"), unless
    // the line has had a message already (a failure GMT has explained).
    std::optional<LinkedMessage> note(int line, std::string_view text);

private:
    int line_for_module(std::string_view module);

    std::string file_;
    std::string name_;   // the script's file name, as bash names it in its messages
    std::vector<std::string> lines_;
    LineSource source_;
    int current_ = 0;
    int last_message_line_ = 0;
    std::string last_module_;
};

}  // namespace mq::app
