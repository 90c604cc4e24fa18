#include "tools/swiss_file.h"

#include "calc/swiss_grid.h"
#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/strings.h"
#include "tools/line_blocks.h"

#include <cmath>

namespace mq::tools {

namespace {

// Names of the first two fields in messages, by direction and order.
const char* field_name(const SwissFileOptions& o, int field)
{
    const bool first_is_x = (field == 1) != o.yx;
    if (o.to_swiss) return first_is_x ? "longitude" : "latitude";
    return first_is_x ? "X" : "Y";
}

Error not_a_number(const SwissFileOptions& o, int field, std::string_view text)
{
    return Error{"field " + std::to_string(field) + " (" + field_name(o, field) +
                     ") is not a number: " + text::quoted(text, 40),
                 {},
                 0};
}

}  // namespace

std::string swiss_delimiter(std::string_view choice)
{
    if (choice == "TAB") return "\t";
    if (choice == "Space") return " ";
    return std::string(choice);
}

Result<SwissRecord> read_swiss_line(std::string_view line, const SwissFileOptions& options)
{
    if (text::has_inner_cr(line)) return Error{std::string(text::kInnerCrMessage), {}, 0};
    const std::string_view d = options.delimiter;
    // An empty delimiter splits nothing: the line is one field.
    const std::size_t end1 = d.empty() ? std::string_view::npos : line.find(d);
    const std::size_t end2 = end1 == std::string_view::npos ? end1 : line.find(d, end1 + d.size());
    if (end2 == std::string_view::npos) return Error{"the line has fewer than three fields", {}, 0};
    const std::size_t start3 = end2 + d.size();
    const std::size_t end3 = line.find(d, start3);
    const std::string_view field1 = line.substr(0, end1);
    const std::string_view field2 = line.substr(end1 + d.size(), end2 - end1 - d.size());

    const auto a = numbers::read_number(field1);
    if (!a) return not_a_number(options, 1, field1);
    const auto b = numbers::read_number(field2);
    if (!b) return not_a_number(options, 2, field2);

    SwissRecord record;
    record.third = end3 == std::string_view::npos ? line.substr(start3) : line.substr(start3, end3 - start3);
    // Put the coordinates in X, Y (or longitude, latitude) order.
    record.first = options.yx ? *b : *a;
    record.second = options.yx ? *a : *b;
    if (options.to_swiss) {
        if (std::abs(record.first) > 180)
            return Error{"longitude " + numbers::general_text(record.first) +
                             " is out of range: longitudes run from -180 to 180",
                         {}, 0};
        if (auto on_earth = calc::check_latitude(record.second); !on_earth) return on_earth.error();
    } else if (auto near = calc::check_swiss_grid(record.first, record.second); !near) {
        return near.error();
    }
    return record;
}

void write_swiss_line(const SwissRecord& record, const SwissFileOptions& options, std::string& out)
{
    if (options.to_swiss) {
        const calc::SwissGrid grid = calc::wgs84_to_swiss(record.first, record.second);
        out += numbers::format_pattern(grid.y, "0.00");
        out += '\t';
        out += numbers::format_pattern(grid.x, "0.00");
    } else {
        const calc::LonLat ll = calc::swiss_to_wgs84(record.first, record.second);
        char text[numbers::kGeneralTextMax];
        out.append(text, numbers::general_text_to(text, ll.longitude));
        out += '\t';
        out.append(text, numbers::general_text_to(text, ll.latitude));
    }
    out += '\t';
    out += record.third;
    out += "\r\n";
}

Result<RunSummary> convert_swiss_file(const std::string& input, const std::string& output,
                                        const SwissFileOptions& options, const ProgressFn& progress,
                                        const StopFn& stop)
{
    if (auto distinct = io::check_distinct_files(input, output); !distinct) return distinct.error();
    io::InputFile in;
    if (auto opened = in.open(input); !opened) return opened.error();
    io::OutputFile out;
    if (auto created = out.open(output); !created) return created.error();

    // One line into `text`; the same for the loop below and for a run in blocks.
    const LineConverter convert = [&options](std::string_view line, std::string& text, Error& error) {
        if (line.empty()) return LineStep::skipped;
        const auto record = read_swiss_line(line, options);
        if (!record) {
            error = record.error();
            return LineStep::failed;
        }
        write_swiss_line(record.value(), options, text);
        return LineStep::written;
    };

    RunSummary summary;
    Error bad;
    bool failed = false;
    const BlockRun run = convert_lines(in, out, convert, true, progress, stop);
    summary.records = run.records;
    summary.stopped = run.stopped;
    failed = run.failed;
    bad = run.error;
    bad.file = input;
    if (in.failed()) {
        bad = in.error();
        failed = true;
    }
    if (!failed && !summary.stopped) {
        if (auto committed = out.commit(); !committed) return committed.error();
        return summary;
    }
    auto kept = out.keep_partial(summary.records, input);
    if (!kept) return kept.error();
    if (failed) {
        bad.note = kept.value();
        return bad;
    }
    summary.kept = kept.value();
    return summary;
}

}  // namespace mq::tools
