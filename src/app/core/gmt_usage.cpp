#include "app/core/gmt_usage.h"

#include <algorithm>
#include <map>

namespace mq::app {

namespace {

using View = std::string_view;

constexpr View kReturnMark = "\xE2\x8F\x8E";  // ⏎ ends a line GMT wrapped
constexpr View kEllipsis = "\xE2\x80\xA6";    // … begins its continuation

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}
bool is_name_char(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool is_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_module_name(View word)
{
    return !word.empty() && is_letter(word[0]) && std::all_of(word.begin(), word.end(), is_name_char);
}

View trimmed(View text)
{
    while (!text.empty() && (is_blank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
    while (!text.empty() && (is_blank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

std::size_t indent_of(View line)
{
    std::size_t n = 0;
    while (n < line.size() && is_blank(line[n])) ++n;
    return n;
}

bool equals_ignoring_case(View a, View b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
           });
}

// The lines of a text without their line ends.
std::vector<View> lines_of(View text)
{
    std::vector<View> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        View line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == View::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// The lines with GMT's wrapped ones joined again.
std::vector<std::string> joined_lines(View text)
{
    std::vector<std::string> lines;
    bool continued = false;
    for (View line : lines_of(text)) {
        if (continued) {
            line = trimmed(line);
            if (line.starts_with(kEllipsis)) line.remove_prefix(kEllipsis.size());
        }
        const bool wraps = line.ends_with(kReturnMark);
        if (wraps) line.remove_suffix(kReturnMark.size());
        if (continued)
            lines.back() += line;
        else
            lines.emplace_back(line);
        continued = wraps;
    }
    return lines;
}

// The first sentence of a description: up to a ". " before a capital letter.
std::string first_sentence(View text)
{
    for (std::size_t at = text.find(". "); at != View::npos; at = text.find(". ", at + 1)) {
        if (at + 2 < text.size() && text[at + 2] >= 'A' && text[at + 2] <= 'Z')
            return std::string(text.substr(0, at + 1));
    }
    return std::string(text);
}

// The words of a command, quoted ones whole.
struct Word {
    View text;
    std::size_t start;
};

std::vector<Word> words_of(View text, std::size_t offset = 0)
{
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < text.size()) {
        if (is_blank(text[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool quoted = false;
        while (i < text.size() && (quoted || !is_blank(text[i]))) {
            if (text[i] == '"') quoted = !quoted;
            ++i;
        }
        words.push_back({text.substr(start, i - start), start + offset});
    }
    return words;
}

bool is_gmt_program(View word)
{
    std::string bare;
    for (char c : word)
        if (c != '"') bare += c;
    if (bare.starts_with('@')) bare.erase(0, 1);
    View name = bare;
    if (const std::size_t slash = name.find_last_of("/\\"); slash != View::npos)
        name.remove_prefix(slash + 1);
    return equals_ignoring_case(name, "gmt") || equals_ignoring_case(name, "gmt.exe");
}

// Where the command that `before` ends in begins: behind the last separator.
std::size_t command_start(View before)
{
    const std::size_t at = before.find_last_of("|&;()`");
    return at == View::npos ? 0 : at + 1;
}

// The words of the command that `before` ends in, without a leading "@" and
// without the words "do", "then" and "else" in front.
std::vector<Word> command_words(View before)
{
    const std::size_t start = command_start(before);
    std::vector<Word> words = words_of(before.substr(start), start);
    while (!words.empty()) {
        Word& first = words.front();
        if (first.text.starts_with('@')) {
            first.text.remove_prefix(1);
            ++first.start;
            if (first.text.empty()) {
                words.erase(words.begin());
                continue;
            }
        }
        const bool keyword = equals_ignoring_case(first.text, "do") ||
                             equals_ignoring_case(first.text, "then") ||
                             equals_ignoring_case(first.text, "else");
        if (!keyword) break;
        words.erase(words.begin());
    }
    return words;
}

// Whether a word that begins where `before` ends starts a command, and
// whether the gmt program stands in front of it.
std::optional<bool> starts_command(View before)
{
    if (!before.empty() && !is_blank(before.back()) && View("|&;()`@").find(before.back()) == View::npos)
        return std::nullopt;  // the word goes on from something else ("x.grd")
    const std::vector<Word> words = command_words(before);
    if (words.empty()) return false;
    if (words.size() == 1 && is_gmt_program(words[0].text)) return true;
    return std::nullopt;
}

}  // namespace

std::string gmt_modern_name(std::string_view name)
{
    // The modern names are the classic ones without "ps", but for these three.
    static const std::map<View, View> renamed = {
        {"psscale", "colorbar"}, {"psxy", "plot"}, {"psxyz", "plot3d"}};
    if (const auto it = renamed.find(name); it != renamed.end()) return std::string(it->second);
    return std::string(name.starts_with("ps") ? name.substr(2) : name);
}

std::vector<GmtModule> parse_gmt_modules(std::string_view help, std::string_view classic)
{
    std::map<std::string, std::string, std::less<>> modules;
    bool listing = false;  // between a line of dashes and the next empty line
    for (View line : lines_of(help)) {
        const View text = trimmed(line);
        if (text.empty()) {
            listing = false;
        } else if (text.find_first_not_of('-') == View::npos && text.size() >= 10) {
            listing = true;
        } else if (listing) {
            const std::size_t gap = text.find("  ");
            const View name = text.substr(0, std::min(gap, text.find('\t')));
            if (gap != View::npos && is_module_name(name))
                modules.emplace(name, trimmed(text.substr(name.size())));
        }
    }
    std::vector<std::pair<std::string, std::string>> added;
    for (View line : lines_of(classic)) {
        const View name = trimmed(line);
        if (!is_module_name(name) || modules.contains(name)) continue;
        const auto counterpart = modules.find(gmt_modern_name(name));
        added.emplace_back(name, counterpart != modules.end() ? counterpart->second : std::string());
    }
    modules.insert(added.begin(), added.end());
    std::vector<GmtModule> list;
    for (auto& [name, purpose] : modules) list.push_back({name, purpose});
    return list;
}

Result<GmtUsage> parse_gmt_usage(std::string_view text)
{
    const std::vector<std::string> lines = joined_lines(text);
    std::size_t i = 0;
    while (i < lines.size() && trimmed(lines[i]).empty()) ++i;
    if (i == lines.size()) return Error{"gmt printed nothing", {}, 0};

    // "gmt grdimage [core] 6.4.0 [64-bit] - Project and plot grids or images",
    // its purpose perhaps going on over the next lines.
    GmtUsage usage;
    View header = trimmed(lines[i]);
    const std::size_t dash = header.find(" - ");
    if (header.starts_with("gmt ")) header.remove_prefix(4);
    const View name = header.substr(0, header.find(' '));
    if (dash == View::npos || !is_module_name(name))
        return Error{"gmt printed no usage: " + std::string(trimmed(lines[i])), {}, 0};
    usage.module = name;
    usage.purpose = trimmed(View(lines[i]).substr(dash + 3));
    for (++i; i < lines.size() && !trimmed(lines[i]).empty(); ++i)
        usage.purpose += " " + std::string(trimmed(lines[i]));

    for (; i < lines.size() && !trimmed(lines[i]).starts_with("usage: "); ++i) {
    }
    if (i == lines.size()) return Error{"gmt printed no usage line for " + usage.module, {}, 0};
    usage.synopsis = trimmed(lines[i]).substr(7);
    for (++i; i < lines.size() && !trimmed(lines[i]).empty(); ++i)
        usage.synopsis += " " + std::string(trimmed(lines[i]));

    // Options: "  -R<syntax>", its description on the lines indented below,
    // or "  -K Its description." on one line.
    for (; i < lines.size(); ++i) {
        const View line = lines[i];
        if (indent_of(line) != 2 || line.size() < 4 || line[2] != '-') continue;
        if (!is_letter(line[3]) && line[3] != ':') continue;  // -^, -+, -? and --PAR
        std::vector<View> syntaxes;
        View rest = line.substr(2);
        while (rest.size() >= 2 && rest[0] == '-' && (is_letter(rest[1]) || rest[1] == ':')) {
            const std::size_t end = std::min(rest.find(' '), rest.size());
            syntaxes.push_back(rest.substr(0, end));
            rest = trimmed(rest.substr(end));
        }
        std::string description(rest);
        if (description.empty()) {
            std::size_t depth = 0;
            for (std::size_t j = i + 1; j < lines.size(); ++j) {
                const std::size_t indent = indent_of(lines[j]);
                if (trimmed(lines[j]).empty() || indent <= 2 || (depth != 0 && indent != depth)) break;
                depth = indent;
                description += (description.empty() ? "" : " ") + std::string(trimmed(lines[j]));
            }
        }
        for (View syntax : syntaxes) {
            std::string flag(syntax.substr(0, 2));
            if (std::any_of(usage.options.begin(), usage.options.end(),
                            [&](const GmtOption& o) { return o.flag == flag; }))
                continue;
            usage.options.push_back({std::move(flag), std::string(syntax), first_sentence(description)});
        }
    }
    return usage;
}

std::optional<ModuleWord> module_at(std::string_view line, std::size_t caret)
{
    caret = std::min(caret, line.size());
    std::size_t start = caret, end = caret;
    while (start > 0 && (is_name_char(line[start - 1]) || line[start - 1] == '.')) --start;
    while (end < line.size() && (is_name_char(line[end]) || line[end] == '.')) ++end;
    // On the gmt program (a bare name, or the end of a path to it): the word behind it.
    const std::vector<Word> words = words_of(line);
    for (std::size_t w = 0; w + 1 < words.size(); ++w) {
        const Word& word = words[w];
        if (caret < word.start || caret > word.start + word.text.size() || !is_gmt_program(word.text))
            continue;
        start = words[w + 1].start;
        end = start;
        while (end < line.size() && is_name_char(line[end])) ++end;
        break;
    }
    const View name = line.substr(start, end - start);
    if (!is_module_name(name) || is_gmt_program(name)) return std::nullopt;
    const std::optional<bool> prefixed = starts_command(line.substr(0, start));
    if (!prefixed) return std::nullopt;
    return ModuleWord{std::string(name), start, *prefixed};
}

CompletionContext completion_context(std::string_view before_caret)
{
    const View before = before_caret;
    std::size_t start = before.size();
    while (start > 0 && is_name_char(before[start - 1])) --start;
    if (start > 0 && before[start - 1] == '-') {
        // An option: "-" and letters, standing alone, after the command's module.
        while (start > 0 && before[start - 1] == '-') --start;
        if (start > 0 && !is_blank(before[start - 1])) return {};
        const std::vector<Word> words = command_words(before.substr(0, start));
        std::size_t m = !words.empty() && is_gmt_program(words[0].text) ? 1 : 0;
        if (m >= words.size() || !is_module_name(words[m].text)) return {};
        return {CompletionKind::option, start, std::string(before.substr(start)), std::string(words[m].text)};
    }
    if (start == before.size() || !is_letter(before[start])) return {};
    if (!starts_command(before.substr(0, start))) return {};
    return {CompletionKind::module, start, std::string(before.substr(start)), {}};
}

}  // namespace mq::app
