#include "app/core/run_messages.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace mq::app {

namespace {

bool is_name_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool starts_with(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::optional<int> to_int(std::string_view s)
{
    int value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

std::string_view file_name_of(std::string_view path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A module's name as both GMT generations know it: psxy, gmt psxy and plot
// are one; gmtinfo and info are one.
std::string canonical_module(std::string_view word)
{
    std::string name = lower(file_name_of(word));
    for (std::string_view ext : {".exe", ".bat", ".cmd"})
        if (name.size() > ext.size() && name.ends_with(ext)) name.resize(name.size() - ext.size());
    if (name.size() > 3 && starts_with(name, "gmt")) name.erase(0, 3);
    if (name.size() > 2 && starts_with(name, "ps")) name.erase(0, 2);
    static const std::array<std::pair<std::string_view, std::string_view>, 3> renamed = {
        {{"xy", "plot"}, {"xyz", "plot3d"}, {"scale", "colorbar"}}};
    for (const auto& [old_name, new_name] : renamed)
        if (name == old_name) return std::string(new_name);
    return name;
}

std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    size_t i = 0;
    const auto is_break = [](char c) {
        return std::string_view(" \t\"'|&<>();=").find(c) != std::string_view::npos;
    };
    while (i < line.size()) {
        while (i < line.size() && is_break(line[i])) ++i;
        const size_t start = i;
        while (i < line.size() && !is_break(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// What one printed line says, before it is linked to a line of the script.
struct Form {
    std::string module;     // the program it names; empty when it names a line itself
    int line = 0;           // the line a shell names
    MessageKind kind = MessageKind::error;
    bool needs_call = false;   // only a message when a script line calls `module`
};

std::optional<Form> recognise(std::string_view text, std::string_view script_name)
{
    size_t n = 0;
    while (n < text.size() && is_name_char(text[n])) ++n;
    const std::string_view head = text.substr(0, n), rest = text.substr(n);
    if (n > 0) {
        // GMT 6: "psxy [ERROR]: ...", "psxy [WARNING]: ...", "psxy (gmtlib_read): ...".
        if (starts_with(rest, " [ERROR]: ")) return Form{std::string(head), 0, MessageKind::error, false};
        if (starts_with(rest, " [WARNING]: ")) return Form{std::string(head), 0, MessageKind::warning, false};
        if (starts_with(rest, " (")) {
            const size_t close = rest.find("): ");
            if (close != std::string_view::npos && close > 2 &&
                std::all_of(rest.begin() + 2, rest.begin() + long(close), is_name_char))
                return Form{std::string(head), 0, MessageKind::error, false};
        }
        // GMT 4: "psxy: GMT SYNTAX ERROR: ...", "psxy: Warning: ...", "psxy: ...".
        if (starts_with(rest, ": ") && rest.size() > 2) {
            const std::string_view said = rest.substr(2);
            const bool warning = starts_with(lower(said.substr(0, 8)), "warning:");
            return Form{std::string(head), 0, warning ? MessageKind::warning : MessageKind::error, true};
        }
    }
    // cmd.exe: "'grdimg' is not recognized as an internal or external command,".
    static constexpr std::string_view not_recognised =
        "' is not recognized as an internal or external command";
    if (starts_with(text, "'")) {
        const size_t end = text.find(not_recognised);
        if (end != std::string_view::npos && end > 1) return Form{std::string(text.substr(1, end - 1)), 0};
    }
    // bash: "./run.sh: line 9: grdimg: command not found", and its other complaints.
    static constexpr std::string_view at_line = ": line ";
    const size_t at = text.find(at_line);
    if (at != std::string_view::npos && !script_name.empty() &&
        file_name_of(text.substr(0, at)) == script_name) {
        const std::string_view after = text.substr(at + at_line.size());
        const size_t colon = after.find(": ");
        if (const auto line = to_int(after.substr(0, colon));
            line && colon != std::string_view::npos && *line > 0)
            return Form{{}, *line};
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::string> LineCollector::feed(std::string_view piece)
{
    std::vector<std::string> lines;
    pending_.append(piece);
    size_t start = 0;
    for (size_t end; (end = pending_.find('\n', start)) != std::string::npos; start = end + 1) {
        size_t stop = end;
        if (stop > start && pending_[stop - 1] == '\r') --stop;
        lines.emplace_back(pending_, start, stop - start);
    }
    pending_.erase(0, start);
    return lines;
}

std::optional<std::string> LineCollector::finish()
{
    if (pending_.empty()) return std::nullopt;
    std::string rest = std::move(pending_);
    pending_.clear();
    if (rest.ends_with('\r')) rest.pop_back();
    return rest;
}

std::vector<std::string> traced_bash_arguments(const std::string& script_name)
{
    // The traps run in the script's functions and subshells too (-E, -T);
    // only lines of a sourced file report (BASH_SOURCE is set), so the
    // command that reads the script does not. "." needs a path, or it
    // searches PATH first.
    static const std::string command =
        "set -ET; "
        "trap 'printf \"${BASH_SOURCE:+\\037L$LINENO\\n}\" >&2' DEBUG; "
        "trap 'printf \"${BASH_SOURCE:+\\037F$?:$LINENO\\n}\" >&2' ERR; "
        ". \"$0\"";
    return {"-c", command, "./" + script_name};
}

TraceLine read_trace_line(std::string_view line)
{
    // A script that traces itself (set -x) traces the reports as well.
    for (std::string_view traced : {"printf '\\037L", "printf '\\037F"})
        if (line.find(traced) != std::string_view::npos) return {{}, false};
    const size_t mark = line.find(kTraceMark);
    if (mark == std::string_view::npos) return {std::string(line)};
    TraceLine result{std::string(line.substr(0, mark)), mark > 0};
    const std::string_view report = line.substr(mark + 1);
    if (starts_with(report, "L")) {
        if (const auto n = to_int(report.substr(1))) result.line = *n;
    } else if (starts_with(report, "F")) {
        const size_t colon = report.find(':');
        const auto status = to_int(report.substr(1, colon == std::string_view::npos ? 0 : colon - 1));
        const auto n = colon == std::string_view::npos ? std::nullopt : to_int(report.substr(colon + 1));
        if (status && n) {
            result.line = *n;
            result.failed_status = *status;
        }
    }
    return result;
}

bool line_calls(std::string_view line, std::string_view module)
{
    const std::vector<std::string_view> words = words_of(line);
    if (words.empty()) return false;
    const std::string first = lower(words.front());
    if (first == "rem" || first == "::" || first == "echo" || first == "@echo" || starts_with(first, "#") ||
        starts_with(first, "echo."))
        return false;
    const std::string wanted = canonical_module(module);
    return std::any_of(words.begin(), words.end(),
                       [&](std::string_view w) { return canonical_module(w) == wanted; });
}

RunMessageReader::RunMessageReader(std::string file, std::string_view script_text, LineSource source)
    : file_(std::move(file)), name_(file_name_of(file_)), source_(source)
{
    LineCollector collector;
    lines_ = collector.feed(script_text);
    if (auto last = collector.finish()) lines_.push_back(std::move(*last));
}

void RunMessageReader::line_started(int line) { current_ = line; }

std::string RunMessageReader::line_text(int line) const
{
    return line >= 1 && size_t(line) <= lines_.size() ? lines_[size_t(line - 1)] : std::string();
}

int RunMessageReader::line_for_module(std::string_view module)
{
    // Further messages of the module just named belong to the same call.
    const int from = canonical_module(module) == canonical_module(last_module_) ? last_message_line_
                                                                                 : last_message_line_ + 1;
    for (int line = std::max(from, 1); size_t(line) <= lines_.size(); ++line)
        if (line_calls(lines_[size_t(line - 1)], module)) return line;
    return 0;
}

std::optional<LinkedMessage> RunMessageReader::read_line(std::string_view text)
{
    const std::optional<Form> form = recognise(text, name_);
    if (!form) return std::nullopt;
    int line = form->line;
    if (!line && source_ == LineSource::none) {
        line = line_for_module(form->module);
        if (!line && form->needs_call) return std::nullopt;
    } else if (!line) {
        // GMT 4's plain "module: ..." only from a line that calls the module.
        if (form->needs_call && !line_calls(line_text(current_), form->module)) return std::nullopt;
        line = current_;
    }
    if (line) last_message_line_ = line;
    last_module_ = form->module;
    return LinkedMessage{file_, line, 0, std::string(text), form->kind};
}

std::optional<LinkedMessage> RunMessageReader::line_failed(int line, int status)
{
    if (line <= 0 || line == last_message_line_) return std::nullopt;
    last_message_line_ = line;
    last_module_.clear();
    return LinkedMessage{file_, line, 0, "exit status " + std::to_string(status), MessageKind::error};
}

std::optional<LinkedMessage> RunMessageReader::note(int line, std::string_view text)
{
    if (line > 0 && line == last_message_line_) return std::nullopt;
    // The list shows the line itself.
    const std::string prefix = "line " + std::to_string(line) + ": ";
    if (starts_with(text, prefix)) text.remove_prefix(prefix.size());
    return LinkedMessage{file_, line, 0, std::string(text), MessageKind::note};
}

}  // namespace mq::app
