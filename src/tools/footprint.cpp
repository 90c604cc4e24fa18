#include "tools/footprint.h"

#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/strings.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace mq::tools {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kDegreesLatPerMetre = 1.0 / 60 / 1852;
// A footprint wider than this many spacings (10^8 sweep steps, up to 7.5 GB
// of records for one ping) is refused rather than left to fill the disk.
constexpr double kMaxSpacingsPerRadius = 1e4;

double cos_mean_latitude(const GeoBox& box)
{
    const double mean = (std::fabs(box.lat_min) + std::fabs(box.lat_max)) / 2;
    return std::cos(mean * kPi / 180);
}

// The first three fields of a ping line. Pairs of blanks, then single blanks,
// then commas become TABs: a run of k blanks is ceil(k / 2) separators, so
// three blanks leave an empty field. Returns the number of fields found (at
// most 3).
std::size_t split_ping(std::string_view line, std::array<std::string_view, 3>& fields)
{
    std::size_t count = 0;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < line.size() && count < fields.size()) {
        const char c = line[i];
        std::size_t width = 0;
        if (c == '\t' || c == ',')
            width = 1;
        else if (c == ' ')
            width = (i + 1 < line.size() && line[i + 1] == ' ') ? 2 : 1;
        if (width == 0) {
            ++i;
            continue;
        }
        fields[count++] = line.substr(start, i - start);
        i += width;
        start = i;
    }
    if (count < fields.size()) fields[count++] = line.substr(start);
    return count;
}

void put_double(char* at, double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    if constexpr (std::endian::native == std::endian::big) bits = __builtin_bswap64(bits);
    std::memcpy(at, &bits, sizeof bits);
}

void put_record(char* at, double lon, double lat)
{
    put_double(at, lon);
    put_double(at + 8, lat);
    put_double(at + 16, 1.0);
}

}  // namespace

std::string area_text(double area)
{
    return numbers::general_text(numbers::round_to(area, 0));
}

Result<RunSummary> calc_footprint_file(const std::string& input, const std::string& output, const GeoBox& box,
                                       double beam_width, double spacing, const ProgressFn& progress,
                                       const StopFn& stop)
{
    RunSummary s;
    auto fail = [](Error e) -> Result<RunSummary> { return e; };
    if (!std::isfinite(spacing) || spacing <= 0)
        return fail(Error{"the point spacing must be a number greater than 0", "", 0});
    if (!std::isfinite(beam_width)) return fail(Error{"the beam width is not a number", "", 0});
    const double cos_mean = cos_mean_latitude(box);
    if (!(cos_mean > 0)) return fail(Error{"the box latitudes must lie between -90 and 90", "", 0});
    const double dlat = kDegreesLatPerMetre;
    const double dlon = kDegreesLatPerMetre / cos_mean;
    const double half_beam_tan = std::tan(kPi * (beam_width / 2) / 180);

    if (auto distinct = io::check_distinct_files(input, output); !distinct) return fail(distinct.error());
    io::InputFile in;
    if (auto opened = in.open(input); !opened) return fail(opened.error());
    io::OutputFile out;
    if (auto opened = out.open(output); !opened) return fail(opened.error());

    io::LineReader reader(in);
    std::string_view line;
    std::int64_t shown = 0;  // the ping count the progress label shows
    Status status;
    auto bad_line = [&](std::string message) {
        status = Error{std::move(message), input, reader.line_number()};
    };
    std::array<char, 96> block;
    while (status.ok()) {
        if (stop && stop()) {
            s.stopped = true;
            break;
        }
        if (!reader.next(line)) break;
        s.lines = reader.line_number();
        if (line.find_first_not_of(" \t") == std::string_view::npos) {  // empty or blank
            if (progress) progress({shown, in.position(), in.size()});
            continue;
        }
        if (text::has_inner_cr(line)) {
            bad_line(std::string(text::kInnerCrMessage));
            break;
        }
        std::array<std::string_view, 3> fields{};
        if (split_ping(line, fields) < 3) {
            bad_line("a ping needs three fields: longitude, latitude and depth");
            break;
        }
        std::array<double, 3> values{};
        for (std::size_t f = 0; f < 3 && status.ok(); ++f) {
            const auto v = numbers::read_number(fields[f]);
            if (!v)
                bad_line("field " + std::to_string(f + 1) + " is not a number");
            else
                values[f] = *v;
        }
        if (!status.ok()) break;
        const double x = values[0];
        const double y = values[1];
        const bool inside = box.lon_min <= x && x <= box.lon_max && box.lat_min <= y && y <= box.lat_max;
        if (inside) {
            ++s.pings;
            if (s.lines % 10 == 0) shown = s.lines;
        }
        if (progress) progress({shown, in.position(), in.size()});
        if (!inside) continue;

        const double r = std::fabs(values[2]) * half_beam_tan;
        if (!std::isfinite(r) || r / spacing > kMaxSpacingsPerRadius) {
            bad_line("the footprint of this ping is too large for a point spacing of " +
                     numbers::general_text(spacing) + " m");
            break;
        }
        // The north-west quarter, mirrored across the ping's meridian and
        // parallel.
        const double step_u = spacing * dlon;
        const double step_v = spacing * dlat;
        const double u_start = x - r * dlon;
        double v = y + r * dlat;
        double u = u_start;
        while (v >= y) {
            const double dy = std::fabs(y - v) / dlat;
            const double dx = std::fabs(u - x) / dlon;
            if (std::sqrt(dx * dx + dy * dy) <= r) {
                const double mu = 2 * x - u;
                const double mv = 2 * y - v;
                put_record(block.data(), u, v);
                put_record(block.data() + 24, mu, v);
                put_record(block.data() + 48, u, mv);
                put_record(block.data() + 72, mu, mv);
                out.write(std::string_view(block.data(), block.size()));
                s.records += 4;
                s.distinct_points += (u != x ? 2 : 1) * (v != y ? 2 : 1);
            }
            const double next_u = u + step_u;
            if (next_u == u) {
                bad_line("the point spacing is too small for the coordinates");
                break;
            }
            u = next_u;
            if (u > x) {
                const double next_v = v - step_v;
                if (next_v == v) {
                    bad_line("the point spacing is too small for the coordinates");
                    break;
                }
                v = next_v;
                u = u_start;
                if (stop && stop()) break;  // the loop above ends the run before the next line
            }
        }
    }
    if (status.ok() && in.failed()) status = in.error();
    s.area = static_cast<double>(s.distinct_points) * spacing * spacing;
    // What was written stays, also after a bad line or a stop.
    if (status.ok() && !s.stopped) {
        if (auto committed = out.commit(); !committed) return fail(committed.error());
        return s;
    }
    auto kept = out.keep_partial(s.records, input);
    if (!kept) return fail(kept.error());
    s.kept = kept.value();
    if (!status.ok()) {
        Error e = status.error();
        e.note = s.kept;
        return e;
    }
    return s;
}

Result<GridSize> calc_grid_size(const GeoBox& box, std::string_view spacing_text)
{
    const auto spacing = numbers::read_number(spacing_text);
    if (!spacing) return Error{"the spacing '" + std::string(spacing_text) + "' is not a number", "", 0};
    const double g = numbers::round_to(*spacing, 0);
    if (g < 1)
        return Error{
            "the spacing '" + std::string(spacing_text) + "' must round to a whole number of at least 1", "",
            0};
    const double cos_mean = cos_mean_latitude(box);
    const double x = numbers::round_to((box.lon_max - box.lon_min) * 60 * cos_mean * 1852 / g, 0);
    const double y = numbers::round_to((box.lat_max - box.lat_min) * 1852 * 60 / g, 0);
    if (!std::isfinite(x) || !std::isfinite(y)) return Error{"the box is too large", "", 0};
    return GridSize{x, y};
}

std::string grid_size_text(const GridSize& size)
{
    return "X: " + numbers::general_text(size.x) + " / Y: " + numbers::general_text(size.y);
}

}  // namespace mq::tools
