#include "tools/batch_runner.h"

#include "common/file_stream.h"
#include "common/strings.h"
#include "tools/batch_process.h"
#include "tools/batch_script.h"
#include "tools/gmt_changes.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include "common/utf8.h"

#include <windows.h>
#else
#include <unistd.h>
extern char** environ;
#endif

namespace mq::tools {

namespace fs = std::filesystem;

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_word(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> split_words(std::string_view line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) ++i;
        if (i == line.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !is_blank(line[i])); ++i) {
            if (line[i] == '"') quoted = !quoted;
            else if (line[i] == '^' && !quoted && i + 1 < line.size()) word += line[++i];
            else word += line[i];
        }
        words.push_back(std::move(word));
    }
    return words;
}

// cmd.exe reads "%%" in a batch file as one "%" before anything else.
std::string single_percents(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        out += line[i];
        if (line[i] == '%' && i + 1 < line.size() && line[i + 1] == '%') ++i;
    }
    return out;
}

// What "echo" prints of its text: a "^" outside quotes gives the next character.
std::string echoed(std::string_view text)
{
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == '^' && !quoted && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

bool has_wildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

std::string utf8_of(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

std::optional<std::string> batch_argument(std::string_view name)
{
    if (name.find('"') != std::string_view::npos) return std::nullopt;
    std::string out;
    for (char c : name) {
        out += c;
        if (c == '%') out += '%';
    }
    if (name.empty() || name.find_first_of(" \t&()[]{}^=;!'+,`~<>|") != std::string_view::npos) out = '"' + out + '"';
    return out;
}

std::string batch_echo_text(std::string_view text)
{
    std::string out;
    bool quoted = false;   // between double quotes cmd.exe takes every character as it is
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '&' || c == '|' || c == '<' || c == '>' || c == '^')) out += '^';
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

BatchLine classify_batch_line(std::string_view batch_line)
{
    BatchLine out;
    const std::string text = single_percents(batch_line);
    std::string_view line = text;
    while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && (is_blank(line.back()) || line.back() == '\r')) line.remove_suffix(1);
    if (!line.empty() && line.front() == '@') line.remove_prefix(1);
    if (line.empty()) return out;
    std::size_t end = 0;
    while (end < line.size() && !is_blank(line[end]) && line[end] != '.') ++end;
    const std::string_view first = line.substr(0, end);
    std::string_view rest = line.substr(end);
    if (same_word(first, "echo")) {
        if (!rest.empty() && rest.front() == '.') {
            out.kind = BatchLineKind::Echo;
            out.text = echoed(rest.substr(1));
            return out;
        }
        rest.remove_prefix(rest.empty() ? 0 : 1);
        if (same_word(rest, "off") || same_word(rest, "on")) return out;
        out.kind = BatchLineKind::Echo;
        out.text = rest.empty() ? "ECHO is off." : echoed(rest);
        return out;
    }
    if (same_word(line, "cls") || line.front() == ':' || same_word(first, "rem")) return out;
    const auto words = split_words(line);
    if (same_word(words.front(), "del") || same_word(words.front(), "erase")) {
        out.kind = BatchLineKind::Delete;
        out.words.assign(words.begin() + 1, words.end());
        return out;
    }
    out.kind = BatchLineKind::Program;
    out.words = words;
    return out;
}

bool matches_pattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*") return true;
    // As cmd.exe has it, a closing ".*" also takes a name without extension:
    // "x_*.*" matches "x_cut".
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        pattern.remove_suffix(2);
    // Greedy matching with one point to come back to after the last "*".
    std::size_t n = 0, p = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = n;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

namespace {

// The program in `dir`: on Windows also with .exe, .bat or .cmd added; on
// POSIX only a file that may be run.
std::string program_in(const fs::path& dir, std::string_view program)
{
    std::error_code ec;
#ifdef _WIN32
    for (const char* ext : {"", ".exe", ".bat", ".cmd"}) {
        const fs::path candidate = dir / fs::u8path(std::string(program) + ext);
        if (fs::is_regular_file(candidate, ec)) return utf8_of(candidate);
    }
#else
    const fs::path candidate = dir / fs::u8path(std::string(program));
    const auto status = fs::status(candidate, ec);
    const auto exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    if (!ec && fs::is_regular_file(status) && (status.permissions() & exec) != fs::perms::none)
        return utf8_of(candidate);
#endif
    return {};
}

std::string find_in(std::string_view list, std::string_view program)
{
    if (program.empty()) return {};
    while (true) {
        const std::size_t end = list.find(kPathListSeparator);
        const std::string_view dir = list.substr(0, end);
        if (!dir.empty())
            if (auto found = program_in(fs::u8path(std::string(dir)), program); !found.empty()) return found;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return {};
}

}  // namespace

std::string find_on_path(std::string_view program)
{
    const char* path = std::getenv("PATH");
    return path ? find_in(path, program) : std::string();
}

std::string batch_log_path(const std::string& batch_path)
{
    const auto p = io::path_from_utf8(batch_path);
    if (!p) return batch_path + ".log";
    fs::path log = p.value();
    log.replace_extension(".log");
    return utf8_of(log);
}

namespace {

using batch::Node;
using batch::NodeKind;

#ifdef _WIN32
constexpr char kNewLine[] = "\r\n";
#else
constexpr char kNewLine[] = "\n";
#endif

std::string lower_case(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

// The variables of a run, names without case, in the order they were made.
class Variables {
public:
    Variables()
    {
#ifdef _WIN32
        if (wchar_t* block = GetEnvironmentStringsW()) {
            for (const wchar_t* p = block; *p; p += std::wcslen(p) + 1) add(text::utf8_from_wide(p));
            FreeEnvironmentStringsW(block);
        }
#else
        for (char** p = environ; p && *p; ++p) add(*p);
#endif
    }
    const std::string* find(std::string_view name) const
    {
        for (const auto& [n, v] : items_)
            if (same_word(n, name)) return &v;
        return nullptr;
    }
    void set(std::string_view name, std::string value)
    {
        for (auto it = items_.begin(); it != items_.end(); ++it)
            if (same_word(it->first, name)) {
                if (value.empty())
                    items_.erase(it);
                else
                    it->second = std::move(value);
                return;
            }
        if (!value.empty()) items_.emplace_back(std::string(name), std::move(value));
    }
    // "NAME=VALUE" of each name that begins with `prefix`, sorted without case.
    std::vector<std::string> listing(std::string_view prefix) const
    {
        std::vector<std::string> out;
        for (const auto& [n, v] : items_)
            if (n.size() >= prefix.size() && same_word(std::string_view(n).substr(0, prefix.size()), prefix))
                out.push_back(n + "=" + v);
        std::sort(out.begin(), out.end(),
                  [](const std::string& a, const std::string& b) { return lower_case(a) < lower_case(b); });
        return out;
    }
    std::vector<std::string> environment() const
    {
        std::vector<std::string> out;
        for (const auto& [n, v] : items_) out.push_back(n + "=" + v);
        return out;
    }

private:
    void add(std::string_view entry)
    {
        const std::size_t eq = entry.find('=', 1);  // Windows keeps "=C:=C:\..." entries
        if (eq == std::string_view::npos) return;
        items_.emplace_back(std::string(entry.substr(0, eq)), std::string(entry.substr(eq + 1)));
    }
    std::vector<std::pair<std::string, std::string>> items_;
};

bool is_echo(std::string_view text)
{
    if (text.size() < 4 || !same_word(text.substr(0, 4), "echo")) return false;
    return text.size() == 4 || std::string_view(" \t.:;,=/\\([]+").find(text[4]) != std::string_view::npos;
}

// The built-in commands the runner carries out besides "echo".
bool is_builtin(std::string_view name)
{
    for (const char* b : {"set", "del", "erase", "ren", "rename", "cls", "setlocal", "endlocal", "pause"})
        if (same_word(name, b)) return true;
    return false;
}

std::string shown_word(const std::string& word)
{
    if (!word.empty() && word.find_first_of(" \t") == std::string::npos) return word;
    return '"' + word + '"';
}

// The refusal of a line the runner cannot carry out.
Error needs_cmd(const std::string& batch_path, const std::string& line_text, const Node& refused)
{
    std::string line(line_text);
    while (!line.empty() && is_blank(line.front())) line.erase(line.begin());
    constexpr std::size_t kLongest = 80;
    if (line.size() > kLongest) line = line.substr(0, kLongest) + "...";
    return Error{"\"" + line + "\" needs cmd.exe: the runner does not carry out " + refused.text, batch_path,
                 refused.line};
}

class Runner {
public:
    Runner(const BatchRunOptions& options, RunListener* listener, std::vector<std::string> lines,
           std::string batch_path)
        : options_(options), listener_(listener), lines_(std::move(lines)), batch_path_(std::move(batch_path))
    {
    }

    // Reads the file as the run will, with the variables it sets on its own
    // lines, and refuses it when a line needs cmd.exe.
    Status check()
    {
        Variables variables = variables_;
        std::size_t index = 0;
        while (index < lines_.size()) {
            const std::size_t first = index;
            auto unit = read_unit(index, variables);
            if (!unit)
                return Error{"the block opened here is not closed with \")\"", batch_path_,
                             static_cast<std::int64_t>(first + 1)};
            if (const Node* refused = refused_in(**unit))
                return needs_cmd(batch_path_, lines_[refused->line - 1], *refused);
            // Its "set" lines, so that the lines after them read as they will.
            for (const auto& child : (*unit)->children)
                if (child->kind == NodeKind::simple) assign(*child, variables, false);
        }
        return {};
    }

    Result<BatchRun> run(const fs::path& batch, const fs::path& folder)
    {
        batch_ = batch;
        folder_ = folder;
        if (options_.write_log) {
            run_.log_path = batch_log_path(utf8_of(batch));
            // A batch file named "job.log" would be emptied by its own log.
            if (!io::check_distinct_files(batch_path_, run_.log_path))
                return Error{
                    "the log beside it would replace the batch file; give the batch file a name that "
                    "does not end in .log",
                    batch_path_, 0};
            log_.open(io::path_from_utf8(run_.log_path).value(), std::ios::binary | std::ios::trunc);
            if (!log_) return Error{"cannot write the log file", run_.log_path, 0};
        }
        std::size_t index = 0;
        while (index < lines_.size() && !ended_) {
            const std::size_t first = index;
            auto unit = read_unit(index, variables_);
            if (!unit)
                return Error{"the block opened here is not closed with \")\"", batch_path_,
                             static_cast<std::int64_t>(first + 1)};
            // A line that reads otherwise now than when the file was checked
            // (a variable that holds "goto", say) ends the run there.
            if (const Node* refused = refused_in(**unit)) {
                const std::string why = needs_cmd(batch_path_, lines_[refused->line - 1], *refused).message;
                note(refused->line, "line " + std::to_string(refused->line) + ": " + why);
                failed(refused->line, lines_[refused->line - 1], why);
                break;
            }
            if (stop_asked()) break;
            execute(**unit);
        }
        run_.exit_status = status_;
        return run_;
    }

private:
    const BatchRunOptions& options_;
    RunListener* listener_;
    std::vector<std::string> lines_;
    std::string batch_path_;
    fs::path batch_, folder_;
    Variables variables_;
    std::ofstream log_;
    BatchRun run_;
    int status_ = 0;
    bool echo_on_ = true;
    bool ended_ = false;
    std::string tail_;  // the end of what the current line printed
    std::vector<std::string> rewrites_;   // the notes of the line that starts

    // One command of the file: a line, or the lines of a block, each
    // expanded as it is read. Empty when a block is open at the end.
    std::optional<std::unique_ptr<Node>> read_unit(std::size_t& index, const Variables& variables)
    {
        const int first = static_cast<int>(index + 1);
        auto lookup = [&](std::string_view name) -> std::optional<std::string> {
            if (const std::string* value = variables.find(name)) return *value;
            if (same_word(name, "errorlevel")) return std::to_string(status_);
            if (same_word(name, "cd")) return utf8_of(folder_);
            return std::nullopt;
        };
        std::string text = batch::expand_percents(lines_[index++], lookup, batch_path_);
        auto unit = batch::parse_lines(text, first);
        while (!unit && index < lines_.size()) {
            text += '\n' + batch::expand_percents(lines_[index++], lookup, batch_path_);
            unit = batch::parse_lines(text, first);
        }
        return unit;
    }

    // A refused node, or a built-in other than echo inside a pipe.
    const Node* refused_in(Node& node)
    {
        if (const Node* refused = batch::first_refused(node)) return refused;
        if (node.kind == NodeKind::pipeline) {
            for (auto& stage : node.children) {
                const std::string name = batch::command_name(stage->text);
                if (is_builtin(name)) {
                    stage->kind = NodeKind::refused;
                    stage->text = "\"" + name + "\" in a pipe";
                    return stage.get();
                }
            }
        }
        for (auto& child : node.children)
            if (const Node* refused = refused_in(*child)) return refused;
        return nullptr;
    }

    bool stop_asked()
    {
        if (!options_.stop_requested || !options_.stop_requested()) return false;
        run_.stopped = true;
        ended_ = true;
        return true;
    }

    void log_text(std::string_view text)
    {
        if (log_.is_open()) {
            log_ << text;
            log_.flush();
        }
    }
    void emit(RunStream stream, std::string_view text)
    {
        log_text(text);
        tail_.append(text);
        constexpr std::size_t kKept = 8192;
        if (tail_.size() > kKept) tail_.erase(0, tail_.size() - kKept);
        if (listener_) listener_->output(stream, text);
    }
    void note(int line, const std::string& text)
    {
        log_text(text + "\n");
        if (listener_) listener_->note(line, text);
    }
    void started(int line, const std::string& command)
    {
        tail_.clear();
        if (listener_) listener_->line_started(line, command);
    }

    std::string after_note(int line) const
    {
        return options_.stop_at_failure && static_cast<std::size_t>(line) < lines_.size()
                   ? "; the lines after it were not run"
                   : "";
    }

    // A program line that failed: the first one is kept, and it ends the
    // run unless the run goes on as cmd.exe does.
    void failed(int line, const std::string& command, const std::string& output)
    {
        if (!run_.failed) {
            run_.failed = 1;
            run_.first_failed_line = line;
            run_.failed_command = command;
            run_.failure_output = output;
        }
        if (options_.stop_at_failure) ended_ = true;
    }

    fs::path path_of(std::string name) const
    {
#ifndef _WIN32
        std::replace(name.begin(), name.end(), '\\', '/');
#endif
        fs::path p = fs::u8path(name);
        return p.is_relative() ? folder_ / p : p;
    }

    void execute(const Node& node)
    {
        if (ended_) return;
        switch (node.kind) {
            case NodeKind::nothing:
            case NodeKind::refused:
                break;
            case NodeKind::sequence:
                for (std::size_t i = 0; i < node.children.size() && !ended_; ++i) {
                    if (i > 0 && node.joins[i - 1] == batch::Join::on_success && status_ != 0) continue;
                    if (i > 0 && node.joins[i - 1] == batch::Join::on_failure && status_ == 0) continue;
                    if (stop_asked()) return;
                    execute(*node.children[i]);
                }
                break;
            case NodeKind::block:
                execute(*node.children[0]);
                break;
            case NodeKind::if_exist:
                if (exists(node.left) != node.negated) execute(*node.children[0]);
                break;
            case NodeKind::if_compare:
                if ((node.left == node.right) != node.negated) execute(*node.children[0]);
                break;
            case NodeKind::for_files:
                for (const auto& value : loop_values(node.left)) {
                    if (stop_asked()) return;
                    execute(*batch::with_loop_value(*node.children[0], node.variable, value));
                    if (ended_) return;
                }
                break;
            case NodeKind::simple:
                simple(node);
                break;
            case NodeKind::malformed:
                programs(node, std::vector<const Node*>{&node});
                break;
            case NodeKind::pipeline:
                programs(node, node.children);
                break;
        }
    }

    // The names a wildcard matches in its folder, sorted without case.
    std::vector<std::string> matches(const std::string& pattern_text) const
    {
        std::string pattern = pattern_text;
#ifndef _WIN32
        std::replace(pattern.begin(), pattern.end(), '\\', '/');
#endif
        const std::size_t slash = pattern.find_last_of("/\\");
        const std::string prefix = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
        const std::string name_pattern = pattern.substr(prefix.size());
        std::vector<std::string> names;
        std::error_code ec;
        for (fs::directory_iterator it(path_of(prefix.empty() ? "." : prefix), ec), end; !ec && it != end;
             it.increment(ec)) {
            std::error_code e;
            if (it->is_directory(e)) continue;
            const std::string name = utf8_of(it->path().filename());
            if (matches_pattern(name, name_pattern)) names.push_back(name);
        }
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return lower_case(a) < lower_case(b); });
        for (auto& n : names) n = std::string(pattern_text.substr(0, prefix.size())) + n;
        return names;
    }

    bool exists(const std::string& name) const
    {
        if (has_wildcard(name)) return !matches(name).empty();
        std::error_code ec;
        return fs::exists(path_of(name), ec);
    }

    std::vector<std::string> loop_values(const std::string& set) const
    {
        std::vector<std::string> values;
        std::size_t i = 0;
        while (i < set.size()) {
            while (i < set.size() && (is_blank(set[i]) || set[i] == ',' || set[i] == ';')) ++i;
            if (i == set.size()) break;
            std::string item;
            bool quoted = false;
            for (; i < set.size() && (quoted || !(is_blank(set[i]) || set[i] == ',' || set[i] == ';')); ++i) {
                if (set[i] == '"') quoted = !quoted;
                item += set[i];
            }
            if (has_wildcard(item)) {
                std::string bare = item;
                bare.erase(std::remove(bare.begin(), bare.end(), '"'), bare.end());
                for (auto& m : matches(bare)) values.push_back(std::move(m));
            } else {
                values.push_back(std::move(item));
            }
        }
        return values;
    }

    // "set NAME=VALUE" into `variables`; with `show`, "set" and "set NAME"
    // list the variables.
    void assign(const Node& node, Variables& variables, bool show)
    {
        std::size_t rest_at = 0;
        if (!same_word(batch::command_name(node.text, &rest_at), "set")) return;
        std::string rest = node.text.substr(std::min(rest_at, node.text.size()));
        while (!rest.empty() && is_blank(rest.front())) rest.erase(rest.begin());
        if (!rest.empty() && rest.front() == '"') {  // set "NAME=VALUE" ends at the last quote
            const std::size_t last = rest.rfind('"');
            rest = last == 0 ? rest.substr(1) : rest.substr(1, last - 1);
        }
        const std::size_t eq = rest.find('=');
        if (eq == std::string::npos || eq == 0) {
            if (!show) return;
            if (eq == 0) {
                emit(RunStream::err, std::string("The syntax of the command is incorrect.") + kNewLine);
                status_ = 1;
                return;
            }
            while (!rest.empty() && is_blank(rest.back())) rest.pop_back();
            const auto list = variables.listing(rest);
            if (list.empty()) {
                emit(RunStream::err, "Environment variable " + rest + " not defined" + kNewLine);
                status_ = 1;
            }
            for (const auto& entry : list) emit(RunStream::out, entry + kNewLine);
            return;
        }
        variables.set(rest.substr(0, eq), rest.substr(eq + 1));
    }

    void simple(const Node& node)
    {
        const std::string& text = node.text;
        if (text.empty()) return;
        if (is_echo(text)) {
            const std::optional<std::string> printed = echo_text(text);
            if (!printed) return;
            started(node.line, text);
            // Every file named is made (or emptied) as cmd.exe does; the text
            // goes to the last one of the output.
            std::optional<fs::path> target;
            bool append = false, failed_open = false;
            for (const auto& r : node.redirections) {
                if (r.handle == 0 || r.target.front() == '&') continue;
                const bool discard = same_word(r.target, "nul") || same_word(r.target, "nul:");
                std::optional<fs::path> file;
                if (!discard) {
                    file = path_of(r.target);
                    std::ofstream made(*file,
                                       std::ios::binary | (r.append ? std::ios::app : std::ios::trunc));
                    failed_open = failed_open || !made;
                }
                if (r.handle == 1) {
                    target = discard ? fs::path() : *file;
                    append = true;
                }
            }
            if (failed_open) {
                emit(RunStream::err, std::string("The system cannot find the path specified.") + kNewLine);
                return;
            }
            if (!target) {
                emit(RunStream::out, *printed + "\n");
                return;
            }
            if (target->empty()) return;
            // Into a file as cmd.exe writes it, with CR LF.
            std::ofstream out(*target, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
            out << *printed << "\r\n";
            return;
        }
        std::size_t rest_at = 0;
        const std::string name = lower_case(batch::command_name(text, &rest_at));
        if (name == "cls" || name == "setlocal" || name == "endlocal") return;
        if (name == "pause") {
            emit(RunStream::out, std::string("Press any key to continue . . . ") + kNewLine);
            return;
        }
        if (name == "set") {
            started(node.line, text);
            assign(node, variables_, true);
            return;
        }
        if (name == "del" || name == "erase") {
            started(node.line, text);
            remove_files(node.line, batch::program_words(text.substr(rest_at)));
            return;
        }
        if (name == "ren" || name == "rename") {
            started(node.line, text);
            rename_file(batch::program_words(text.substr(rest_at)));
            return;
        }
        programs(node, std::vector<const Node*>{&node});
    }

    // What "echo" prints; nothing for "echo off" and "echo on".
    std::optional<std::string> echo_text(const std::string& text)
    {
        std::string body = text.size() > 4 ? text.substr(5) : "";
        std::string trimmed = body;
        while (!trimmed.empty() && is_blank(trimmed.back())) trimmed.pop_back();
        while (!trimmed.empty() && is_blank(trimmed.front())) trimmed.erase(trimmed.begin());
        const bool plain = text.size() == 4 || is_blank(text[4]);
        if (plain && (same_word(trimmed, "off") || same_word(trimmed, "on"))) {
            echo_on_ = same_word(trimmed, "on");
            return std::nullopt;
        }
        if (plain && trimmed.empty()) return echo_on_ ? "ECHO is on." : "ECHO is off.";
        return body;
    }

    void remove_files(int line, const std::vector<std::string>& names)
    {
        std::error_code ec;
        const std::string log_name =
            run_.log_path.empty() ? "" : utf8_of(fs::u8path(run_.log_path).filename());
        for (const auto& name : names) {
            if (name.empty() || (name.size() == 2 && name.front() == '/')) continue;  // /q, /f and the like
            const fs::path target = path_of(name);
            const std::string pattern = utf8_of(target.filename());
            const fs::path dir = target.parent_path();
            if (!has_wildcard(pattern)) {
                if (!fs::is_regular_file(target, ec) || !fs::remove(target, ec))
                    emit(RunStream::err, "Could Not Find " + utf8_of(target) + kNewLine);
                continue;
            }
            if (!fs::equivalent(dir, folder_, ec)) {
                note(line, "line " + std::to_string(line) + ": patterns are only deleted in " +
                               utf8_of(folder_) + "; " + name + " was left alone");
                continue;
            }
            bool any = false;
            for (const auto& entry : fs::directory_iterator(folder_, ec)) {
                if (!entry.is_regular_file(ec)) continue;
                const std::string entry_name = utf8_of(entry.path().filename());
                if (!matches_pattern(entry_name, pattern)) continue;
                // The runner's own files stay, and so does a run folder's lock.
                if (entry.path() == batch_ || entry_name == log_name || entry_name == kGridRunLock) continue;
                any = fs::remove(entry.path(), ec) || any;
            }
            if (!any) emit(RunStream::err, "Could Not Find " + utf8_of(target) + kNewLine);
        }
    }

    void rename_file(const std::vector<std::string>& words)
    {
        std::error_code ec;
        if (words.size() != 2 || words[1].find_first_of("/\\") != std::string::npos ||
            has_wildcard(words[0]) || has_wildcard(words[1])) {
            emit(RunStream::err, std::string("The syntax of the command is incorrect.") + kNewLine);
            status_ = 1;
            return;
        }
        const fs::path from = path_of(words[0]);
        const fs::path to = from.parent_path() / fs::u8path(words[1]);
        if (!fs::exists(from, ec) || fs::exists(to, ec)) {
            emit(RunStream::err,
                 std::string("A duplicate file name exists, or the file\ncannot be found.") + kNewLine);
            status_ = 1;
            return;
        }
        fs::rename(from, to, ec);
        status_ = ec ? 1 : 0;
    }

    std::string gmt_path() const
    {
        const std::string& gmt = options_.gmt_program;
        if (gmt.find_first_of("/\\") != std::string::npos) {
            const fs::path p = fs::u8path(gmt);
            return program_in(p.parent_path(), utf8_of(p.filename()));
        }
        return find_program(gmt);
    }

    std::string find_program(const std::string& name) const
    {
        if (name.find_first_of("/\\") != std::string::npos) {
            std::error_code ec;
            const fs::path p = path_of(name);
#ifdef _WIN32
            return program_in(p.parent_path(), utf8_of(p.filename()));
#else
            return fs::exists(p, ec) ? utf8_of(p) : std::string();
#endif
        }
        // cmd.exe looks in the current folder before PATH.
        if (auto here = program_in(folder_, name); !here.empty()) return here;
        const std::string* path = variables_.find("PATH");
        return find_in(path ? *path : std::string(), name);
    }

    // A program of a line: found as cmd.exe would, a GMT module without its
    // "gmt" run through it, with GMT 4's forms that GMT 6 refuses rewritten.
    // Empty `stage.program` and `why` set when it cannot run.
    batch::Stage stage_of(const Node& node, std::string& why, bool& gmt_missing)
    {
        batch::Stage stage;
        if (is_echo(node.text)) {
            stage.text = echo_text(node.text).value_or("") + "\n";
            stage.words = {"echo"};
        } else {
            std::vector<std::string> words = batch::program_words(node.text);
            const std::string name = words.empty() ? "" : words.front();
            std::string lower = lower_case(name);
            if (lower.size() > 4 && lower.substr(lower.size() - 4) == ".exe" && find_program(name).empty())
                lower.resize(lower.size() - 4);
            std::string program = find_program(name);
            std::vector<std::string> arguments(words.size() > 1 ? words.begin() + 1 : words.end(),
                                               words.end());
            std::string module;
            if (lower == "gmt" || lower == "gmt.exe") {
                program = gmt_path();
                if (!arguments.empty()) {
                    module = arguments.front();
                    arguments.erase(arguments.begin());
                }
            } else if (program.empty() && lower == "gawk-w32") {
                program = find_program("gawk");
                words.front() = "gawk";
            } else if (program.empty() && (is_gmt_module(lower) || find_program(lower).size())) {
                program = find_program(lower);
                if (program.empty()) {
                    module = lower;
                    program = gmt_path();
                    if (program.empty()) gmt_missing = true;
                }
            }
            if (program.empty()) {
                why = gmt_missing ? name + " was not run: GMT is not installed (no '" + options_.gmt_program +
                                        (options_.gmt_program.find_first_of("/\\") == std::string::npos
                                             ? "' program on PATH)"
                                             : "' program)")
                                  : "'" + name +
                                        "' is not recognized as an internal or external command,\n"
                                        "operable program or batch file.";
                return stage;
            }
            if (!module.empty()) {
                std::vector<GmtRewrite> rewrites;
                const auto changed = gmt6_arguments(module, arguments, &rewrites);
                for (const auto& r : rewrites)
                    rewrites_.push_back("line " + std::to_string(node.line) + ": " + r.old_text +
                                        (r.new_text.empty() ? " left out" : " run as " + r.new_text));
                words = {options_.gmt_program, module};
                words.insert(words.end(), changed.begin(), changed.end());
            }
            stage.program = program;
            stage.words = std::move(words);
        }
        for (const auto& r : node.redirections) {
            batch::StageFile file;
            file.handle = r.handle;
            file.append = r.append;
            if (r.target.front() == '&')
                file.copy_of = std::atoi(r.target.c_str() + 1);
            else if (!same_word(r.target, "nul") && !same_word(r.target, "nul:"))
                file.path = utf8_of(path_of(r.target));
            stage.files.push_back(std::move(file));
        }
        return stage;
    }

    template <class Nodes>
    void programs(const Node& line_node, const Nodes& nodes)
    {
        std::vector<batch::Stage> stages;
        rewrites_.clear();
        std::string shown, why;
        bool gmt_missing = false;
        for (const auto& n : nodes) {
            const Node& node = *n;
            stages.push_back(stage_of(node, why, gmt_missing));
            if (!why.empty()) break;
            if (!shown.empty()) shown += " | ";
            std::string words;
            for (const auto& w : stages.back().words) {
                if (!words.empty()) words += ' ';
                words += shown_word(w);
            }
            if (stages.back().text) words = node.text;
            shown += words;
            for (const auto& r : node.redirections)
                shown += std::string(" ") + (r.handle == 2 ? "2" : "") +
                         (r.handle == 0 ? "<"
                          : r.append    ? ">>"
                                        : ">") +
                         (r.target.front() == '&' ? r.target : shown_word(r.target));
        }
        const int line = line_node.line;
        ++run_.programs;
        for (const auto& n : nodes)
            if (n->kind == NodeKind::malformed) {
                status_ = 1;
                started(line, line_node.text);
                const std::string syntax = "The syntax of the command is incorrect.";
                emit(RunStream::err, syntax + kNewLine);
                note(line, "line " + std::to_string(line) + ": a redirection without a file name" +
                               after_note(line));
                failed(line, line_node.text, syntax);
                return;
            }
        if (!why.empty()) {
            status_ = 9009;
            if (gmt_missing) {
                note(line, "line " + std::to_string(line) + ": " + why + after_note(line));
            } else {
                started(line, shown.empty() ? line_node.text : shown);
                emit(RunStream::err, why + "\n");
                note(line, "line " + std::to_string(line) + ": " + batch::command_name(line_node.text) +
                               " was not found" + after_note(line));
            }
            // The message of a failed run is one line.
            std::string one_line = why;
            std::replace(one_line.begin(), one_line.end(), '\n', ' ');
            failed(line, gmt_missing ? batch::command_name(line_node.text) : shown, one_line);
            return;
        }
        log_text("[line " + std::to_string(line) + "] " + shown + "\n");
        started(line, shown);
        for (const auto& rewrite : rewrites_) note(line, rewrite);
        const auto end = batch::run_pipeline(
            stages, utf8_of(folder_), variables_.environment(),
            [&](bool error, std::string_view text) { emit(error ? RunStream::err : RunStream::out, text); },
            [&] { return options_.stop_requested && options_.stop_requested(); });
        status_ = end.status;
        if (end.stopped) {
            run_.stopped = true;
            ended_ = true;
            note(line, "line " + std::to_string(line) + ": stopped");
            return;
        }
        if (!end.why.empty()) emit(RunStream::err, end.why + "\n");
        if (status_ == 0) return;
        const std::string output = end.why.empty() ? last_line(tail_) : end.why;
        const std::string program = stages.back().words.empty() ? "" : stages.back().words.front();
        note(line, "line " + std::to_string(line) + ": " + (stages.size() > 1 ? "the pipe" : program) +
                       " failed" + after_note(line));
        failed(line, shown, output);
    }

    static std::string last_line(const std::string& text)
    {
        std::string last;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(start, end - start);
            while (!line.empty() && (is_blank(line.back()) || line.back() == '\r')) line.pop_back();
            std::size_t first = 0;
            while (first < line.size() && is_blank(line[first])) ++first;
            if (first < line.size()) last = line.substr(first);
            start = end + 1;
        }
        constexpr std::size_t kLongest = 300;
        if (last.size() > kLongest) last = last.substr(0, kLongest) + "...";
        return last;
    }
};

}  // namespace

Result<BatchRun> run_batch_file(const std::string& batch_path, const BatchRunOptions& options,
                                RunListener* listener)
{
    io::InputFile in;
    if (auto s = in.open(batch_path); !s) return s.error();
    // The whole file is read first: a file with CR-only line ends, which the
    // reader takes for one long line, is refused before anything runs.
    std::vector<std::string> lines;
    {
        io::LineReader reader(in);
        std::string_view text;
        while (reader.next(text)) {
            if (text::has_inner_cr(text))
                return Error{std::string(text::kInnerCrMessage), batch_path, reader.line_number()};
            while (!text.empty() && text.back() == '\r') text.remove_suffix(1);
            lines.emplace_back(text);
        }
        if (in.failed()) return in.error();
    }
    // Programs run in the batch file's folder, so every path here is absolute.
    std::error_code ec;
    const fs::path batch = fs::absolute(io::path_from_utf8(batch_path).value(), ec);
    Runner runner(options, listener, std::move(lines), batch_path);
    if (auto s = runner.check(); !s) return s.error();
    return runner.run(batch, batch.parent_path());
}

}  // namespace mq::tools
