#include "tools/utm_file.h"

#include "calc/coordinate_text.h"
#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/strings.h"
#include "tools/line_blocks.h"

#include <array>
#include <cstring>
#include <filesystem>

namespace mq::tools {

namespace {

bool folder_exists(const std::string& path)
{
    const auto p = io::path_from_utf8(path);
    if (!p || !p.value().has_parent_path()) return true;
    std::error_code ec;
    return std::filesystem::is_directory(p.value().parent_path(), ec);
}

}  // namespace

Status check_folders(const std::string& input, const std::string& output)
{
    for (const std::string* path : {&input, &output})
        if (!folder_exists(*path))
            return Error{"its folder does not exist", *path, 0}.as(ErrorKind::file_not_found);
    return {};
}

Result<RunSummary> convert_utm_file(const std::string& input, const std::string& output,
                                    const calc::UtmState& state, const ProgressFn& progress, const StopFn& stop)
{
    RunSummary r;
    if (auto folders = check_folders(input, output); !folders) return folders.error();
    if (auto distinct = io::check_distinct_files(input, output); !distinct) return distinct.error();
    if (auto zone = calc::check_utm_zone(state.utm_zone); !zone) return zone.error();

    io::InputFile in;
    if (auto opened = in.open(input); !opened) return opened.error();
    io::OutputFile out;
    if (auto opened = out.open(output); !opened) return opened.error();

    // One line into `text`; the same for the loop below and for a run in blocks.
    const LineConverter convert = [&state](std::string_view line, std::string& text, Error& error) {
        const auto bad = [&error](ErrorKind kind, std::string message) {
            error = Error{std::move(message), {}, 0}.as(kind);
            return LineStep::failed;
        };
        if (!line.empty() && line.front() == '#') return LineStep::skipped;
        if (text::has_inner_cr(line))
            return bad(ErrorKind::type_mismatch, std::string(text::kInnerCrMessage));

        // Blanks count as TABs; a line needs at least one of them.
        std::array<std::string_view, 3> fields{};
        std::size_t count = 0;
        std::size_t start = 0;
        bool delimited = false;
        while (count < fields.size()) {
            std::size_t end = start;
            while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
            fields[count++] = line.substr(start, end - start);
            if (end == line.size()) break;
            delimited = true;
            start = end + 1;
        }
        if (!delimited) return bad(ErrorKind::past_end, "there is no TAB or blank as delimiter in the line");
        const auto easting = numbers::read_number(fields[0]);
        const auto northing = numbers::read_number(fields[1]);
        if (!easting || !northing)
            return bad(ErrorKind::type_mismatch,
                       "field " + std::string(easting ? "2" : "1") + " is not a number");
        if (count < 3) return bad(ErrorKind::type_mismatch, "field 3 is missing");
        const auto position = calc::utm_to_lonlat(*easting, *northing, state);
        if (!position) return bad(ErrorKind::type_mismatch, position.error().message);
        // Each angle as its general text reads back, then in degrees and
        // minutes: exactly what the window shows for the same point.
        constexpr std::size_t kShortField = 64;   // a third field up to this goes out in one piece
        char angles[2 * calc::kDegMmMax + 2 + kShortField + 2];
        const std::size_t lon_n = calc::dec2degmm_to(angles, calc::through_general_text(position->longitude));
        angles[lon_n] = '\t';
        const std::size_t lat_n =
            calc::dec2degmm_to(angles + lon_n + 1, calc::through_general_text(position->latitude));
        if (lon_n == 0 || lat_n == 0)
            return bad(ErrorKind::type_mismatch, "the position cannot be converted");
        std::size_t n = lon_n + 1 + lat_n;
        angles[n++] = '\t';
        if (fields[2].size() <= kShortField) {
            std::memcpy(angles + n, fields[2].data(), fields[2].size());
            n += fields[2].size();
            angles[n++] = '\r';
            angles[n++] = '\n';
            text.append(angles, n);
        } else {
            text.append(angles, n);
            text.append(fields[2]);
            text.append("\r\n");
        }
        return LineStep::written;
    };

    bool failed = false;
    Error error;
    const BlockRun run = convert_lines(in, out, convert, false, progress, stop);
    r.lines = run.lines;
    r.records = run.records;
    r.stopped = run.stopped;
    failed = run.failed;
    error = run.error;
    error.file = input;
    if (!failed && in.failed()) {
        failed = true;
        error = in.error();
    }
    // What was written stays, also after a bad line or a stop.
    if (!failed && !r.stopped) {
        if (auto committed = out.commit(); !committed) return committed.error();
        return r;
    }
    auto kept = out.keep_partial(r.records, input);
    if (!kept) return kept.error();
    r.kept = kept.value();
    error.note = r.kept;
    if (failed) return error;
    return r;
}

}  // namespace mq::tools
