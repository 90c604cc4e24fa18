#include "tools/batch_runner.h"

#include "common/file_stream.h"
#include "common/strings.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/wait.h>
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
std::string quote(std::string_view word)
{
    // Built by appending: GCC 12 warns falsely (-Wrestrict) about "\"" + text when optimising.
    std::string out = "\"";
    out.append(word).push_back('"');
    return out;
}
#else
constexpr char kPathListSeparator = ':';
std::string quote(std::string_view word)
{
    std::string out = "'";
    for (char c : word) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}
#endif

std::string utf8_of(const fs::path& path)
{
    const auto text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Runs a command line through the system's shell in `folder`, appending its
// output to the log; true when it ended with status 0.
bool run_program(const std::vector<std::string>& words, const std::string& folder, const std::string& log)
{
    std::string command;
    for (const auto& w : words) {
        if (!command.empty()) command += ' ';
        command += quote(w);
    }
#ifdef _WIN32
    command = "\"cd /d " + quote(folder) + " && " + command + " >> " + quote(log) + " 2>&1\"";
    return std::system(command.c_str()) == 0;
#else
    command = "cd " + quote(folder) + " && " + command + " >> " + quote(log) + " 2>&1 < /dev/null";
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

class Log {
public:
    explicit Log(fs::path path) : path_(std::move(path)) {}
    bool start()
    {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        return static_cast<bool>(out);
    }
    void line(std::string_view text)
    {
        std::ofstream out(path_, std::ios::binary | std::ios::app);
        out << text << '\n';
    }

private:
    fs::path path_;
};

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

std::vector<std::string> gmt6_arguments(const std::vector<std::string>& arguments)
{
    std::vector<std::string> out;
    out.reserve(arguments.size());
    for (const auto& a : arguments) {
        // GMT 4's header option -H[n] is -h[n] since GMT 5.
        if (a.size() >= 2 && a[0] == '-' && a[1] == 'H') out.push_back(std::string("-h").append(a, 2));
        else out.push_back(a);
    }
    return out;
}

bool matches_pattern(std::string_view name, std::string_view pattern)
{
    if (pattern == "*.*") return true;
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

std::string find_on_path(std::string_view program)
{
    const char* path = std::getenv("PATH");
    if (!path || program.empty()) return {};
    std::string_view list(path);
    while (true) {
        const std::size_t end = list.find(kPathListSeparator);
        const std::string_view dir = list.substr(0, end);
        if (!dir.empty()) {
#ifdef _WIN32
            for (const char* ext : {"", ".exe", ".bat", ".cmd"}) {
                const fs::path candidate = fs::path(std::string(dir)) / (std::string(program) + ext);
                std::error_code ec;
                if (fs::is_regular_file(candidate, ec)) return utf8_of(candidate);
            }
#else
            const fs::path candidate = fs::path(std::string(dir)) / std::string(program);
            std::error_code ec;
            const auto status = fs::status(candidate, ec);
            const auto exec = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
            if (!ec && fs::is_regular_file(status) && (status.permissions() & exec) != fs::perms::none)
                return utf8_of(candidate);
#endif
        }
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return {};
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

// The last line a program wrote to the log from `offset` on (blanks trimmed).
std::string last_output_line(const fs::path& log, std::uintmax_t offset)
{
    std::ifstream in(log, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string line, last;
    while (std::getline(in, line)) {
        while (!line.empty() && (is_blank(line.back()) || line.back() == '\r')) line.pop_back();
        std::size_t start = 0;
        while (start < line.size() && is_blank(line[start])) ++start;
        if (start < line.size()) last = line.substr(start);
    }
    constexpr std::size_t kLongest = 300;
    if (last.size() > kLongest) last = last.substr(0, kLongest) + "...";
    return last;
}

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
            lines.emplace_back(text);
        }
        if (in.failed()) return in.error();
    }
    // Programs run in the batch file's folder, so every path here is absolute.
    std::error_code ec;
    const fs::path batch = fs::absolute(io::path_from_utf8(batch_path).value(), ec);
    const fs::path folder = batch.parent_path();
    BatchRun run;
    run.log_path = batch_log_path(utf8_of(batch));
    // A batch file named "job.log" would be emptied by its own log.
    if (!io::check_distinct_files(batch_path, run.log_path))
        return Error{"the log beside it would replace the batch file; give the batch file a name that does not "
                     "end in .log",
                     batch_path, 0};
    const fs::path log_file = io::path_from_utf8(run.log_path).value();
    Log log(log_file);
    if (!log.start()) return Error{"cannot write the log file", run.log_path, 0};

    // A failing line ends the run: the lines after it (deleting the data it
    // should have used, above all) are not run.
    auto fail = [&](int number, std::string command, std::string output) {
        ++run.failed;
        run.first_failed_line = number;
        run.failed_command = std::move(command);
        run.failure_output = std::move(output);
    };
    auto not_run_note = [&](int number) {
        const bool more = static_cast<std::size_t>(number) < lines.size();
        return more ? std::string("; the lines after it were not run") : std::string();
    };
    for (std::size_t index = 0; index < lines.size() && !(run.failed && options.stop_at_failure); ++index) {
        if (options.stop_requested && options.stop_requested()) {
            run.stopped = true;
            break;
        }
        const BatchLine line = classify_batch_line(lines[index]);
        const int number = static_cast<int>(index + 1);
        switch (line.kind) {
        case BatchLineKind::Nothing:
            break;
        case BatchLineKind::Echo:
            log.line(line.text);
            if (listener) listener->output(RunStream::out, line.text + "\n");
            break;
        case BatchLineKind::Delete:
            for (const auto& name : line.words) {
                fs::path target = fs::path(std::u8string(name.begin(), name.end()));
                if (target.is_relative()) target = folder / target;
                const std::string pattern = utf8_of(target.filename());
                const fs::path dir = target.parent_path();
                if (!has_wildcard(pattern)) {
                    if (!fs::is_regular_file(target, ec) || !fs::remove(target, ec))
                        log.line("Could Not Find " + utf8_of(target));
                    continue;
                }
                if (!fs::equivalent(dir, folder, ec)) {
                    log.line("line " + std::to_string(number) + ": patterns are only deleted in " +
                             utf8_of(folder) + "; " + name + " was left alone");
                    continue;
                }
                bool any = false;
                for (const auto& entry : fs::directory_iterator(folder, ec)) {
                    if (!entry.is_regular_file(ec)) continue;
                    const std::string entry_name = utf8_of(entry.path().filename());
                    if (!matches_pattern(entry_name, pattern)) continue;
                    // The runner's own files stay, and so does a run folder's lock.
                    if (entry.path() == batch || entry_name == utf8_of(log_file.filename()) ||
                        entry_name == kGridRunLock)
                        continue;
                    any = fs::remove(entry.path(), ec) || any;
                }
                if (!any) log.line("Could Not Find " + utf8_of(target));
            }
            break;
        case BatchLineKind::Program: {
            std::vector<std::string> words = line.words;
            const std::string& program = words.front();
            const bool has_folder = program.find_first_of("/\\") != std::string::npos;
            if (!has_folder && find_on_path(program).empty()) {
                const std::string gmt_path = options.gmt_program.find_first_of("/\\") != std::string::npos
                                                 ? options.gmt_program
                                                 : find_on_path(options.gmt_program);
                if (gmt_path.empty()) {
                    const std::string why =
                        program + " was not run: GMT is not installed (no 'gmt' program on PATH)";
                    log.line("line " + std::to_string(number) + ": " + why + not_run_note(number));
                    ++run.programs;
                    fail(number, program, why);
                    continue;
                }
                std::vector<std::string> gmt{options.gmt_program, program};
                const auto args = gmt6_arguments({words.begin() + 1, words.end()});
                gmt.insert(gmt.end(), args.begin(), args.end());
                words = std::move(gmt);
            }
            std::string shown;
            for (const auto& w : words) {
                if (!shown.empty()) shown += ' ';
                shown += w;
            }
            log.line("[line " + std::to_string(number) + "] " + shown);
            if (listener) listener->line_started(number, shown);
            ++run.programs;
            const auto start = fs::file_size(log_file, ec);
            const bool ok = run_program(words, utf8_of(folder), run.log_path);
            run.exit_status = ok ? 0 : 1;
            if (listener) {
                std::ifstream in(log_file, std::ios::binary);
                in.seekg(static_cast<std::streamoff>(ec ? 0 : start));
                listener->output(RunStream::out, std::string(std::istreambuf_iterator<char>(in), {}));
            }
            if (!ok && !run.failed) {
                const std::string output = last_output_line(log_file, ec ? 0 : start);
                log.line("line " + std::to_string(number) + ": " + words.front() + " failed" +
                         not_run_note(number));
                fail(number, shown, output);
            }
            break;
        }
        }
    }
    return run;
}

}  // namespace mq::tools
