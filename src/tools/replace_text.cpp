#include "tools/replace_text.h"

#include "common/file_stream.h"
#include "common/number_rules.h"
#include "common/strings.h"
#include "common/utf8.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace mq::tools {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::size_t kChunk = std::size_t{1} << 20;

// dst = src with every `search` (not empty, found first at `at`) replaced.
void replace_into(std::string_view src, std::size_t at, std::string_view search, std::string_view fill,
                  std::string& dst)
{
    dst.clear();
    std::size_t from = 0;
    while (at != std::string_view::npos) {
        dst.append(src, from, at - from);
        dst.append(fill);
        from = at + search.size();
        at = src.find(search, from);
    }
    dst.append(src, from);
}

// One line through the replacements and the appended text. The result is a
// view of the line itself or of one of the two work buffers.
class LineEditor {
public:
    explicit LineEditor(const ReplaceSettings& s)
        : add_(s.add_to_each_line), add_text_(s.add_text)
    {
        for (const ReplaceRow& row : s.rows) {
            if (!row.on) continue;
            std::string search = replace_vb(row.search);
            if (search.empty()) continue;   // changes nothing
            std::string fill = replace_vb(row.fill);
            if (fill == "\\t") fill = "\t";
            rows_.push_back({std::move(search), std::move(fill)});
        }
    }

    std::string_view edit(std::string_view line)
    {
        std::string_view current = line;
        for (const auto& row : rows_) {
            const std::size_t at = current.find(row.search);
            if (at == std::string_view::npos) continue;
            std::string& dst = other(current);
            replace_into(current, at, row.search, row.fill, dst);
            current = dst;
        }
        if (add_) {
            std::string& joined = other(current);
            joined.assign(current);
            joined.append(add_text_);
            current = joined;
            if (const std::size_t at = current.find("\\t"); at != std::string_view::npos) {
                std::string& dst = other(current);
                replace_into(current, at, "\\t", "\t", dst);
                current = dst;
            }
        }
        return current;
    }

private:
    struct Row {
        std::string search;
        std::string fill;
    };
    // The buffer that `current` is not in.
    std::string& other(std::string_view current)
    {
        return current.data() == a_.data() ? b_ : a_;
    }

    std::vector<Row> rows_;
    bool add_;
    std::string add_text_;
    std::string a_;
    std::string b_;
};

// Whole-file mode, streamed: one replacement over the bytes of the file. A
// match may straddle two reads, so the tail that could start one is carried.
Status replace_whole_file(io::InputFile& in, io::OutputFile& out, std::string_view search,
                          std::string_view fill, const ProgressFn& progress, const StopFn& stop,
                          RunSummary& summary)
{
    bool& stopped = summary.stopped;
    std::string chunk;
    chunk.reserve(kChunk + search.size());
    std::vector<char> block(kChunk);
    for (;;) {
        if (stop && stop()) {
            stopped = true;
            out.write(chunk);   // the carried bytes are not lost
            return {};
        }
        const std::size_t got = in.read(block.data(), block.size());
        if (in.failed()) return in.error();
        summary.lines += std::count(block.data(), block.data() + got, '\n');
        chunk.append(block.data(), got);
        const bool last = got < block.size();
        std::size_t from = 0;
        if (!search.empty()) {
            for (std::size_t at = chunk.find(search); at != std::string::npos; at = chunk.find(search, from)) {
                out.write(std::string_view(chunk).substr(from, at - from));
                out.write(fill);
                from = at + search.size();
            }
        }
        // Keep what could be the start of a match that the next read completes.
        std::size_t keep_from = chunk.size();
        if (!last && !search.empty() && chunk.size() - from >= search.size())
            keep_from = chunk.size() - (search.size() - 1);
        else if (!last && !search.empty())
            keep_from = from;
        out.write(std::string_view(chunk).substr(from, keep_from - from));
        chunk.erase(0, keep_from);
        if (progress) progress({0, in.position(), in.size()});
        if (last) {
            out.write(chunk);
            return {};
        }
    }
}

}  // namespace

std::string replace_vb(std::string_view text)
{
    if (text == "CRLF") return "\r\n";
    if (text == "TAB") return "\t";
    if (text == "CR") return "\r";
    if (text == "LF") return "\n";
    return std::string(text);
}

Result<std::int64_t> take_each_count(std::string_view text)
{
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    const bool digits_only = !text.empty() && text.front() >= '0' && text.front() <= '9';
    if (!digits_only || ec != std::errc() || end != text.data() + text.size() || n < 1)
        return Error{"\"Take each\" needs a whole number of 1 or more, not '" + std::string(text) + "'", {}, 0};
    return n;
}

std::string kml_name(std::string_view name)
{
    std::string utf8;
    if (!text::is_valid_utf8(name)) {
        utf8 = text::utf8_from_cp1252(name);
        name = utf8;
    }
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const auto b = static_cast<unsigned char>(c);
        const char* entity = c == '&'    ? "&amp;"
                             : c == '<'  ? "&lt;"
                             : c == '>'  ? "&gt;"
                             : c == '"'  ? "&quot;"
                             : c == '\'' ? "&apos;"
                                         : nullptr;
        if (entity) {
            out += entity;
            continue;
        }
        // XML 1.0 holds TAB, LF and CR but no other control character, and
        // neither U+FFFE nor U+FFFF (EF BF BE, EF BF BF).
        const bool control = b < 0x20 && c != '\t' && c != '\n' && c != '\r';
        const bool non_character = name.substr(i, 3) == "\xEF\xBF\xBE" || name.substr(i, 3) == "\xEF\xBF\xBF";
        if (control || non_character) {
            out += "\xEF\xBF\xBD";   // U+FFFD
            if (non_character) i += 2;
            continue;
        }
        out += c;
    }
    return out;
}

std::size_t split_blanks(std::string_view line, std::string_view* fields, std::size_t max)
{
    std::size_t count = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(' ', from);
        const std::string_view field =
            at == std::string_view::npos ? line.substr(from) : line.substr(from, at - from);
        if (count < max) fields[count] = field;
        ++count;
        if (at == std::string_view::npos) return count;
        from = at + 1;
    }
}

Status append_placemark(const std::array<std::string_view, 4>& lines, std::string& out)
{
    constexpr std::size_t kFields = 11;
    std::string_view f[4][kFields];
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t needed = i == 0 ? 11 : 10;
        const std::size_t count = split_blanks(lines[i], f[i], kFields);
        if (count < needed)
            return Error{"a placemark line needs " + std::to_string(needed) + " fields separated by single blanks, this one has " +
                             std::to_string(count),
                         {}, static_cast<std::int64_t>(i + 1)};
    }
    // Each corner must be a number (not "nan", not "1e999"); its text is
    // written as it stands.
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t lon = i == 0 ? 9 : 8;
        for (std::size_t at : {lon, lon + 1}) {
            if (numbers::read_number(f[i][at])) continue;
            return Error{"field " + std::to_string(at) + " (" + (at == lon ? "longitude" : "latitude") +
                             ") of a placemark line is not a number: " + text::quoted(f[i][at], 40),
                         {}, static_cast<std::int64_t>(i + 1)};
        }
    }
    auto corner = [&out](std::string_view lon, std::string_view lat) {
        out.append(lon).append(",").append(lat).append(",1").append(kCrLf);
    };
    out.append("<Placemark> <name> ").append(kml_name(f[0][0]));
    out.append("</name> <LineString> <coordinates>").append(kCrLf);
    corner(f[0][9], f[0][10]);
    corner(f[1][8], f[1][9]);
    corner(f[2][8], f[2][9]);
    corner(f[3][8], f[3][9]);
    corner(f[0][9], f[0][10]);
    out.append("</coordinates> </LineString>  </Placemark>").append(kCrLf).append(kCrLf);
    return {};
}

Result<RunSummary> replace_in_file(const std::string& input, const std::string& output,
                                       const ReplaceSettings& settings, const ProgressFn& progress,
                                       const StopFn& stop)
{
    // Every n-th line: n is checked before anything is created.
    const bool counting = !settings.entire && !settings.take_if && settings.take_each;
    const bool document = !settings.entire && !settings.take_if && settings.kml && settings.kml_document;
    if (document && settings.take_each)
        return Error{"a complete KML document holds only placemarks: turn \"Take each\" off", {}, 0};
    std::int64_t every = 1;
    if (counting) {
        const auto n = take_each_count(settings.take_each_count);
        if (!n) return n.error();
        every = n.value();
    }
    if (auto distinct = io::check_distinct_files(input, output); !distinct) return distinct.error();
    io::InputFile in;
    if (auto opened = in.open(input); !opened) return opened.error();
    io::OutputFile out;
    if (auto created = out.open(output); !created) return created.error();

    RunSummary summary;
    // A run that ended early keeps what it wrote; an existing output stays.
    auto end = [&out, &summary, &input](Error* failure) -> Result<RunSummary> {
        summary.records = summary.lines;
        if (!failure && !summary.stopped) {
            if (auto committed = out.commit(); !committed) return committed.error();
            return summary;
        }
        auto kept = out.keep_partial(summary.lines, input);
        if (!kept) return kept.error();
        if (!failure) {
            summary.kept = kept.value();
            return summary;
        }
        failure->note = kept.value();
        return *failure;
    };
    if (settings.entire) {
        const Status done = replace_whole_file(in, out, replace_vb(settings.entire_search),
                                               replace_vb(settings.entire_fill), progress, stop, summary);
        Error failure = done ? Error{} : done.error();
        return end(done ? nullptr : &failure);
    }

    LineEditor editor(settings);
    const std::string& wanted = settings.take_if_text;
    const bool wanted_has_line_end = wanted.find_first_of("\r\n") != std::string::npos;
    std::string output_line;       // used only when the wanted text holds a line end
    std::array<std::string, 4> group;   // the lines of a placemark, reused
    std::string placemark;
    std::int64_t nth = 0;
    Error bad;
    bool failed = false;

    if (document) out.write(kKmlDocumentStart);
    io::LineReader reader(in);
    std::string_view line;
    while (reader.next(line)) {
        if (stop && stop()) {
            summary.stopped = true;
            break;
        }
        ++summary.lines;
        if (progress && summary.lines % 1000 == 0) progress({summary.lines, in.position(), in.size()});

        const std::string_view edited = editor.edit(line);
        if (settings.take_if) {
            bool contained;
            if (wanted_has_line_end) {
                output_line.assign(edited).append(kCrLf);
                contained = output_line.find(wanted) != std::string::npos;
            } else {
                contained = edited.find(wanted) != std::string_view::npos;
            }
            if (contained == settings.take_if_exists) {
                out.write(edited);
                out.write(kCrLf);
            }
            continue;
        }
        if (settings.take_each && ++nth == every) {
            out.write(edited);
            out.write(kCrLf);
            nth = 0;
        }
        if (!settings.kml) continue;

        const std::int64_t first_line = reader.line_number();
        group[0].assign(edited);
        int found = 1;
        for (; found < 4 && reader.next(line); ++found) group[static_cast<std::size_t>(found)].assign(line);
        if (found < 4) {
            if (in.failed()) break;
            const std::string rest = found == 1   ? "the file ends after it"
                                     : found == 2 ? "only 1 follows"
                                                  : "only 2 follow";
            bad = Error{"a placemark needs this line and three more, but " + rest, input, first_line};
            failed = true;
            break;
        }
        placemark.clear();
        const Status made = append_placemark({group[0], group[1], group[2], group[3]}, placemark);
        if (!made) {
            bad = made.error();
            bad.file = input;
            bad.line = first_line + bad.line - 1;
            failed = true;
            break;
        }
        out.write(placemark);
    }
    // Also after a stop or a bad line: the placemarks written make a whole document.
    if (document) out.write(kKmlDocumentEnd);
    if (in.failed()) {
        bad = in.error();
        failed = true;
    }
    if (progress) progress({summary.lines, in.position(), in.size()});
    return end(failed ? &bad : nullptr);
}

}  // namespace mq::tools
