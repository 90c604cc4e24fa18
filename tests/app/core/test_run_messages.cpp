// From what a run prints to messages linked to script lines.
#include "app/core/run_messages.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace mq::app;

namespace {

// Feeds `events` to a reader: "L<n>" a line starts, "F<status>:<n>" a line
// failed, "N<n>:<text>" a runner's note, anything else a printed line.
// The messages as "<line> <kind> <text>".
std::vector<std::string> messages_of(LineSource source, const std::string& script,
                                     const std::vector<std::string>& events)
{
    static const char* const kinds[] = {"E", "W", "N"};
    RunMessageReader reader("/maps/run.sh", script, source);
    std::vector<std::string> out;
    for (const std::string& event : events) {
        const bool report = event[0] == 'L' || event[0] == 'F';
        const TraceLine trace = read_trace_line(report ? kTraceMark + event : event);
        std::optional<LinkedMessage> message;
        if (event[0] == 'N') message = reader.note(event[1] - '0', event.substr(3));
        else if (trace.failed_status) message = reader.line_failed(trace.line, trace.failed_status);
        else if (trace.line) reader.line_started(trace.line);
        else message = reader.read_line(event);
        if (message) {
            CHECK(message->file == "/maps/run.sh");
            const std::string kind = kinds[int(message->kind)];
            out.push_back(std::to_string(message->line) + ' ' + kind + ' ' + message->text);
        }
    }
    return out;
}

}  // namespace

TEST_CASE("messages and the lines they link to")
{
    const LineSource reported = LineSource::reported, none = LineSource::none;
    const std::string sh = "gmt psbasemap -R0/1/0/1 -JX5c -Bq > a.ps\ngmt gmtinfo missing.txt\nnosuch -x\n"
                           "grdimage in.grd -JX5c > b.ps\nexit 3\n";
    const std::string bat = "REM psbasemap first\r\necho grdimage\r\npsbasemap -R0/1/0/1 -X >a.ps\r\n"
                            "gmtinfo a.txt\r\ngrdimage x.grd\r\ngmtinfo b.txt\r\nnosuch\r\n";
    struct Case {
        const char* name;
        LineSource source;
        const std::string& script;
        std::vector<std::string> events, expected;
    };
    const Case cases[] = {
        {"GMT 6 errors, each on its own line", reported, sh,
         {"L1", "psbasemap [ERROR]: Option -B: Unrecognized", "F72:1", "L2",
          "gmtinfo [ERROR]: Cannot find file missing.txt", "L5"},
         {"1 E psbasemap [ERROR]: Option -B: Unrecognized",
          "2 E gmtinfo [ERROR]: Cannot find file missing.txt"}},
        {"GMT 6 warnings and function messages", reported, sh,
         {"L4", "grdimage [WARNING]: no -B", "grdimage (gmtapi_import_grid): Not a grid", "psxy (x y): no"},
         {"4 W grdimage [WARNING]: no -B", "4 E grdimage (gmtapi_import_grid): Not a grid"}},
        {"GMT 4 messages only from a line calling the module", reported, sh,
         {"L4", "grdimage: GMT SYNTAX ERROR:  -J option", "grdimage: Warning: odd", "Result: 5", "L1",
          "psbasemap: Cannot open a.ps", "grdimage: late"},
         {"4 E grdimage: GMT SYNTAX ERROR:  -J option", "4 W grdimage: Warning: odd",
          "1 E psbasemap: Cannot open a.ps"}},
        {"bash names the line itself", reported, sh,
         {"L2", "./run.sh: line 3: nosuch: command not found", "F127:3",
          "other.sh: line 2: x: command not found"},
         {"3 E ./run.sh: line 3: nosuch: command not found"}},
        {"a failed command without a message", reported, sh,
         {"L2", "F1:2", "L3", "F2:3", "F2:3"}, {"2 E exit status 1", "3 E exit status 2"}},
        {"the batch runner's notes, unless GMT has explained the line", reported, sh,
         {"N1:line 1: -H0 run as -h0", "L1", "psbasemap [ERROR]: x", "N1:line 1: gmt failed",
          "N2:line 2: failed"},
         {"1 N -H0 run as -h0", "1 E psbasemap [ERROR]: x", "2 N failed"}},
        {"cmd.exe: the first calling line after the previous message's", none, bat,
         {"psbasemap [ERROR]: Unrecognized option -X", "psbasemap [ERROR]: Must give -J",
          "gmtinfo [ERROR]: Cannot find file a.txt", "grdimage [ERROR]: no x.grd",
          "gmtinfo [ERROR]: Cannot find file b.txt", "gmtinfo [ERROR]: again"},
         {"3 E psbasemap [ERROR]: Unrecognized option -X", "3 E psbasemap [ERROR]: Must give -J",
          "4 E gmtinfo [ERROR]: Cannot find file a.txt", "5 E grdimage [ERROR]: no x.grd",
          "6 E gmtinfo [ERROR]: Cannot find file b.txt", "6 E gmtinfo [ERROR]: again"}},
        {"cmd.exe: a program not found; unknown modules link nowhere", none, bat,
         {"'nosuch' is not recognized as an internal or external command,", "operable program or batch file.",
          "surface [ERROR]: what", "echo: no call"},
         {"7 E 'nosuch' is not recognized as an internal or external command,", "0 E surface [ERROR]: what"}},
        {"cmd.exe: GMT 6 names find GMT 4 calls", none, "gmt basemap -R1\r\npsxy a\r\n",
         {"psbasemap [ERROR]: x", "plot [ERROR]: y"}, {"1 E psbasemap [ERROR]: x", "2 E plot [ERROR]: y"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        CHECK(messages_of(c.source, c.script, c.events) == c.expected);
    }
}

TEST_CASE("trace reports and output lines")
{
    struct Case {
        std::string line, text;
        bool has_text;
        int line_number, status;
    };
    const Case cases[] = {
        {"plain", "plain", true, 0, 0},
        {"\x1fL12", "", false, 12, 0},
        {"\x1f\x1fL3", "", false, 0, 0},          // not a report of ours: dropped, never shown
        {"partial\x1fL7", "partial", true, 7, 0},   // output without a line end before a report
        {"\x1f" "F127:9", "", false, 9, 127},
        {"\x1f" "Fx:9", "", false, 0, 0},
        {"+++ printf '\\037L2\\n'", "", false, 0, 0},   // a script's own set -x tracing the reports
        {"++ printf '\\037' x", "++ printf '\\037' x", true, 0, 0},
    };
    for (const Case& c : cases) {
        CAPTURE(c.line);
        const TraceLine t = read_trace_line(c.line);
        CHECK(t.text == c.text);
        CHECK(t.has_text == c.has_text);
        CHECK(t.line == c.line_number);
        CHECK(t.failed_status == c.status);
    }
    LineCollector collector;
    CHECK(collector.feed("a\r\nb").size() == 1);
    CHECK(collector.feed("c\n\nd") == std::vector<std::string>{"bc", ""});
    CHECK(collector.finish() == "d");
    CHECK(!collector.finish());
}
