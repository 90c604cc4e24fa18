#include "tools/track_positions.h"

#include "calc/coordinate_text.h"
#include "common/file_stream.h"
#include "common/number_rules.h"

#include <cmath>
#include <optional>

namespace mq::tools {

namespace num = mq::numbers;

namespace {

// A coordinate as typed: every "," is a decimal point, then the shared
// coordinate rule (the sign of the degrees makes the whole value negative).
std::optional<double> read_coordinate(std::string_view text)
{
    std::string body(text);
    for (char& c : body)
        if (c == ',') c = '.';
    const auto value = calc::coord_to_decimal(body);
    if (!value) return std::nullopt;
    return value.value();
}

}  // namespace

Result<RunSummary> calc_track_positions(const TrackRequest& request, const ProgressFn& progress,
                                          const StopFn& stop)
{
    struct Named {
        const char* what;
        const std::string& text;
    };
    const Named texts[] = {{"x of the start point", request.x1},
                           {"x of the end point", request.x2},
                           {"y of the start point", request.y1},
                           {"y of the end point", request.y2}};
    double values[4];
    for (int i = 0; i < 4; ++i) {
        const auto v = read_coordinate(texts[i].text);
        if (!v)
            return Error{std::string(texts[i].what) + " '" + texts[i].text + "' is not a number", {}, 0}.as(
                ErrorKind::type_mismatch);
        values[i] = *v;
    }
    const auto count = num::read_number(request.samples);
    if (!count)
        return Error{"the number of samples '" + request.samples + "' is not a number", {}, 0}.as(
            ErrorKind::type_mismatch);
    if (request.whole_samples && *count != std::floor(*count))
        return Error{"the number of samples '" + request.samples + "' is not a whole number", {}, 0}.as(
            ErrorKind::type_mismatch);
    const double rounded = num::round_to(*count, 0);
    if (rounded < 1)
        return Error{"the number of samples must be at least 1 (it is " + request.samples + ")", {}, 0}.as(
            ErrorKind::type_mismatch);
    if (rounded > 2147483647.0)
        return Error{
            "the number of samples must be at most 2147483647 (it is " + request.samples + ")", {}, 0}
            .as(ErrorKind::type_mismatch);
    const auto steps = static_cast<std::int64_t>(rounded);

    io::OutputFile out;
    if (auto s = out.open(request.output); !s) return s.error();
    // A track from -1e308 to 1e308 is longer than the largest double: such a
    // step is taken as two half steps, so no position becomes infinite.
    // Every other track keeps its one addition per step.
    auto step_of = [steps](double from, double to, int& parts) {
        const double whole = (to - from) / static_cast<double>(steps);
        parts = std::isfinite(whole) ? 1 : 2;
        return parts == 1 ? whole : (to * 0.5 - from * 0.5) / static_cast<double>(steps);
    };
    int x_parts = 1;
    int y_parts = 1;
    const double dx = step_of(values[0], values[1], x_parts);
    const double dy = step_of(values[2], values[3], y_parts);
    char line[2 * num::kGeneralTextMax + 4];
    auto write = [&](double x, double y) {
        char* p = line;
        p += num::general_text_to(p, num::round_to(x, 10));
        *p++ = '\t';
        p += num::general_text_to(p, num::round_to(y, 10));
        *p++ = '\r';
        *p++ = '\n';
        out.write(std::string_view(line, static_cast<std::size_t>(p - line)));
    };
    double x = values[0];
    double y = values[2];
    write(x, y);
    RunSummary outcome;
    std::int64_t& lines = outcome.records;
    lines = 1;
    for (std::int64_t i = 0; i < steps; ++i) {
        if (stop && stop()) {
            outcome.stopped = true;
            break;
        }
        for (int part = 0; part < x_parts; ++part) x += dx;
        for (int part = 0; part < y_parts; ++part) y += dy;
        write(x, y);
        if (++lines % 4096 == 0 && progress) progress({lines, lines, steps + 1});
    }
    if (progress) progress({lines, lines, steps + 1});
    if (outcome.stopped) {
        auto kept = out.keep_partial(lines);
        if (!kept) return kept.error();
        outcome.kept = kept.value();
        return outcome;
    }
    if (auto s = out.commit(); !s) return s.error();
    return outcome;
}

}  // namespace mq::tools
