#include "tools/utm_file.h"

#include "calc/coordinate_text.h"
#include "common/file_stream.h"
#include "common/number_rules.h"

#include <array>
#include <filesystem>

namespace mq::tools {

namespace {

UtmFileResult failed(UtmFileResult r, UtmFileFailure kind, Error error)
{
    r.failure = kind;
    r.error = std::move(error);
    return r;
}

bool folder_exists(const std::string& path)
{
    const auto p = io::path_from_utf8(path);
    if (!p || !p.value().has_parent_path()) return true;
    std::error_code ec;
    return std::filesystem::is_directory(p.value().parent_path(), ec);
}

// The angle as its general text would read back, then in degrees and
// minutes: exactly what the window shows for the same point.
bool write_angle(io::OutputFile& out, double degrees)
{
    char text[numbers::kGeneralTextMax];
    const std::size_t n = numbers::general_text_to(text, degrees);
    const auto angle = calc::dec2degmm(std::string_view(text, n));
    if (!angle) return false;
    out.write(*angle);
    return true;
}

}  // namespace

UtmFileResult convert_utm_file(const std::string& input, const std::string& output, const calc::UtmState& state,
                               const ProgressFn& progress, const StopFn& stop)
{
    UtmFileResult r;
    for (const std::string* path : {&input, &output})
        if (!folder_exists(*path))
            return failed(r, UtmFileFailure::WrongPath, Error{"its folder does not exist", *path, 0});
    if (auto distinct = io::check_distinct_files(input, output); !distinct)
        return failed(r, UtmFileFailure::SameFile, distinct.error());
    if (auto meridian = calc::utm_central_meridian(state.utm_zone); !meridian)
        return failed(r, UtmFileFailure::BadZone, meridian.error());

    io::InputFile in;
    if (auto opened = in.open(input); !opened) return failed(r, UtmFileFailure::CannotRead, opened.error());
    io::OutputFile out;
    if (auto opened = out.open(output); !opened) return failed(r, UtmFileFailure::CannotWrite, opened.error());

    io::LineReader reader(in);
    std::string_view line;
    UtmFileFailure failure = UtmFileFailure::None;
    Error error;
    auto bad_line = [&](UtmFileFailure kind, std::string message) {
        failure = kind;
        error = Error{std::move(message), input, reader.line_number()};
    };
    while (true) {
        if (stop && stop()) {
            r.stopped = true;
            break;
        }
        if (!reader.next(line)) break;
        r.lines = reader.line_number();
        if (progress) progress({r.lines, in.position(), in.size()});
        if (!line.empty() && line.front() == '#') continue;

        // Blanks count as TABs; a line needs at least one of them.
        std::array<std::string_view, 3> fields{};
        std::size_t count = 0;
        std::size_t start = 0;
        bool delimited = false;
        while (count < fields.size()) {
            const std::size_t end = line.find_first_of(" \t", start);
            fields[count++] = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
            if (end == std::string_view::npos) break;
            delimited = true;
            start = end + 1;
        }
        if (!delimited) {
            bad_line(UtmFileFailure::NoDelimiter, "there is no TAB or blank as delimiter in the line");
            break;
        }
        const auto easting = numbers::read_number(fields[0]);
        const auto northing = numbers::read_number(fields[1]);
        if (!easting || !northing) {
            bad_line(UtmFileFailure::BadLine,
                     "field " + std::string(easting ? "2" : "1") + " is not a number");
            break;
        }
        if (count < 3) {
            bad_line(UtmFileFailure::BadLine, "field 3 is missing");
            break;
        }
        const auto position = calc::utm_to_lonlat(*easting, *northing, state);
        if (!position) {
            bad_line(UtmFileFailure::BadLine, position.error().message);
            break;
        }
        // Latitude first, as the window works them out; both are checked
        // before anything of the line is written.
        char lat_text[numbers::kGeneralTextMax];
        const std::size_t lat_n = numbers::general_text_to(lat_text, position->latitude);
        const auto latitude = calc::dec2degmm(std::string_view(lat_text, lat_n));
        if (!latitude || !write_angle(out, position->longitude)) {
            bad_line(UtmFileFailure::BadLine, "the position cannot be converted");
            break;
        }
        out.put('\t');
        out.write(*latitude);
        out.put('\t');
        out.write(fields[2]);
        out.write("\r\n");
        ++r.written;
    }
    if (failure == UtmFileFailure::None && in.failed()) {
        failure = UtmFileFailure::CannotRead;
        error = in.error();
    }
    // What was written stays, also after a bad line or a stop.
    if (auto committed = out.commit(); !committed) {
        r.written = 0;
        return failed(r, UtmFileFailure::CannotWrite, committed.error());
    }
    if (failure != UtmFileFailure::None) return failed(r, failure, std::move(error));
    return r;
}

}  // namespace mq::tools
