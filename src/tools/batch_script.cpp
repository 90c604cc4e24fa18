#include "tools/batch_script.h"

#include <algorithm>

namespace mq::tools::batch {

namespace {

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lower_case(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

// cmd.exe's built-in commands that the runner does not carry out.
bool needs_cmd(std::string_view name)
{
    static const std::vector<std::string_view> names = {
        "assoc", "break", "call",  "cd",    "chdir",  "color", "copy", "date",   "dir",    "else",  "exit",
        "ftype", "goto",  "md",    "mkdir", "mklink", "move",  "path", "popd",   "prompt", "pushd", "rd",
        "rmdir", "shift", "start", "time",  "title",  "type",  "ver",  "verify", "vol",
    };
    return std::find(names.begin(), names.end(), name) != names.end();
}

class Parser {
public:
    Parser(std::string_view text, int first_line) : s_(text), line_(first_line) {}

    std::optional<std::unique_ptr<Node>> parse()
    {
        auto node = sequence(0);
        if (refused_) return std::move(refused_);
        if (incomplete_) return std::nullopt;
        return node;
    }

private:
    std::string_view s_;
    std::size_t i_ = 0;
    int line_;
    bool incomplete_ = false;
    std::unique_ptr<Node> refused_;

    bool stopped() const { return incomplete_ || refused_; }
    bool at(char c) const { return i_ < s_.size() && s_[i_] == c; }
    bool at(std::string_view text) const { return s_.substr(i_, text.size()) == text; }
    void skip_blanks()
    {
        while (i_ < s_.size() && is_blank(s_[i_])) ++i_;
    }

    std::unique_ptr<Node> make(NodeKind kind, int line) const
    {
        auto node = std::make_unique<Node>();
        node->kind = kind;
        node->line = line;
        return node;
    }

    std::unique_ptr<Node> refuse(int line, std::string what)
    {
        if (!refused_) {
            refused_ = make(NodeKind::refused, line);
            refused_->text = std::move(what);
        }
        return make(NodeKind::nothing, line);
    }

    // A word of letters, read without case, without moving on.
    std::string peek_word() const
    {
        std::size_t end = i_;
        while (end < s_.size() && !is_blank(s_[end]) &&
               std::string_view("&|<>()\n\",;=").find(s_[end]) == std::string_view::npos)
            ++end;
        return lower_case(s_.substr(i_, end - i_));
    }

    std::unique_ptr<Node> sequence(int depth)
    {
        auto seq = make(NodeKind::sequence, line_);
        Join pending = Join::line;
        while (!stopped()) {
            skip_blanks();
            if (i_ == s_.size()) {
                if (depth > 0) incomplete_ = true;
                break;
            }
            if (at('\n')) {
                ++i_;
                ++line_;
                pending = Join::line;
                continue;
            }
            if (at(')') && depth > 0) break;
            const std::size_t before = i_;
            auto item = pipeline(depth);
            if (stopped()) break;
            if (!seq->children.empty()) seq->joins.push_back(pending);
            seq->children.push_back(std::move(item));
            skip_blanks();
            if (at("&&")) {
                pending = Join::on_success;
                i_ += 2;
            } else if (at("||")) {
                pending = Join::on_failure;
                i_ += 2;
            } else if (at('&')) {
                pending = Join::always;
                ++i_;
            } else {
                pending = Join::line;
                // Something the command could not take ("|" at the start, a
                // stray ")"): what cmd.exe would call a syntax error.
                if (i_ == before || (i_ < s_.size() && !at('\n') && !(at(')') && depth > 0)))
                    return refuse(line_, std::string(1, s_[i_]));
            }
        }
        return seq;
    }

    std::unique_ptr<Node> pipeline(int depth)
    {
        auto first = command(depth);
        skip_blanks();
        if (stopped() || !at('|') || at("||")) return first;
        auto pipe = make(NodeKind::pipeline, first->line);
        pipe->children.push_back(std::move(first));
        while (!stopped() && at('|') && !at("||")) {
            ++i_;
            auto next = command(depth);
            if (next->kind != NodeKind::simple && next->kind != NodeKind::malformed && !stopped())
                return refuse(next->line, "a block in a pipe");
            pipe->children.push_back(std::move(next));
            skip_blanks();
        }
        const NodeKind first_kind = pipe->children.front()->kind;
        if (first_kind != NodeKind::simple && first_kind != NodeKind::malformed && !stopped())
            return refuse(pipe->line, "a block in a pipe");
        for (const auto& stage : pipe->children)
            if (stage->kind == NodeKind::simple && stage->text.empty() && !stopped())
                return refuse(pipe->line, "a pipe without a program on each side");
        return pipe;
    }

    void skip_line()
    {
        while (i_ < s_.size() && s_[i_] != '\n') ++i_;
    }

    std::unique_ptr<Node> command(int depth)
    {
        skip_blanks();
        while (at('@')) {
            ++i_;
            skip_blanks();
        }
        const int line = line_;
        if (i_ == s_.size() || at('\n')) return make(NodeKind::nothing, line);
        if (at('(')) {
            ++i_;
            auto block = make(NodeKind::block, line);
            block->children.push_back(sequence(depth + 1));
            if (stopped()) return block;
            ++i_;  // the ")"
            skip_blanks();
            if (at('>') || at('<') ||
                (i_ + 1 < s_.size() && s_[i_] >= '0' && s_[i_] <= '9' && s_[i_ + 1] == '>'))
                return refuse(line, "a redirection of a block");
            return block;
        }
        if (at(':')) {  // a label, or "::" as a remark
            skip_line();
            return make(NodeKind::nothing, line);
        }
        const std::string name = peek_word();
        if (name == "rem") {
            skip_line();
            return make(NodeKind::nothing, line);
        }
        if (name == "if") return if_command(depth, line);
        if (name == "for") return for_command(depth, line);
        if (needs_cmd(name)) return refuse(line, name);
        auto node = simple(depth, line);
        const std::string rest = lower_case(node->text);
        if (name == "set" && (rest.find("/a") != std::string::npos || rest.find("/p") != std::string::npos)) {
            // "set /a" and "set /p" compute and ask; a plain "set" only assigns.
            std::size_t after = 0;
            command_name(node->text, &after);
            std::string_view args(rest);
            args.remove_prefix(std::min(after, args.size()));
            while (!args.empty() && is_blank(args.front())) args.remove_prefix(1);
            if (args.substr(0, 2) == "/a" || args.substr(0, 2) == "/p")
                return refuse(line, "set " + std::string(args.substr(0, 2)));
        }
        return node;
    }

    // A file name or an operand: in double quotes, or up to a blank or a
    // character with a meaning. The quotes stay when `keep_quotes`.
    std::string operand(int depth, bool keep_quotes, bool stop_at_equals)
    {
        std::string out;
        bool quoted = false;
        while (i_ < s_.size() && s_[i_] != '\n') {
            const char c = s_[i_];
            if (!quoted) {
                if (is_blank(c) || c == '&' || c == '|' || c == '<' || c == '>') break;
                if (c == ')' && depth > 0) break;
                if (stop_at_equals && at("==")) break;
                if (c == '^' && i_ + 1 < s_.size() && s_[i_ + 1] != '\n') {
                    out += s_[i_ + 1];
                    i_ += 2;
                    continue;
                }
            }
            if (c == '"') {
                quoted = !quoted;
                if (keep_quotes) out += c;
            } else {
                out += c;
            }
            ++i_;
        }
        return out;
    }

    std::unique_ptr<Node> simple(int depth, int line)
    {
        auto node = make(NodeKind::simple, line);
        std::string& text = node->text;
        bool quoted = false;
        while (i_ < s_.size() && s_[i_] != '\n') {
            const char c = s_[i_];
            if (!quoted) {
                if (c == '&' || c == '|') break;
                if (c == ')' && depth > 0) break;
                if (c == '^') {   // the next character as it is; a "^" at the end is dropped
                    if (i_ + 1 < s_.size() && s_[i_ + 1] != '\n') text += s_[i_++ + 1];
                    ++i_;
                    continue;
                }
                if (c == '>' || c == '<') {
                    Redirection r;
                    r.handle = c == '<' ? 0 : 1;
                    // "2>": a digit right before the sign, after a blank.
                    if (c == '>' && !text.empty() && text.back() >= '0' && text.back() <= '9' &&
                        (text.size() == 1 || is_blank(text[text.size() - 2]))) {
                        r.handle = text.back() - '0';
                        text.pop_back();
                    }
                    ++i_;
                    if (c == '>' && at('>')) {
                        r.append = true;
                        ++i_;
                    }
                    if (at('&')) {
                        ++i_;
                        r.target = '&';
                        r.target += operand(depth, false, false);
                    } else {
                        skip_blanks();
                        r.target = operand(depth, false, false);
                    }
                    // "> %name%" with the name undefined: cmd.exe says so when it runs the line.
                    if (r.target.empty() || r.target == "&" || r.handle > 2) node->kind = NodeKind::malformed;
                    else node->redirections.push_back(std::move(r));
                    continue;
                }
            }
            if (c == '"') quoted = !quoted;
            text += c;
            ++i_;
        }
        // "> file command": the command begins after the redirection.
        const std::size_t start = text.find_first_not_of(" \t");
        text.erase(0, start == std::string::npos ? text.size() : start);
        return node;
    }

    std::unique_ptr<Node> if_command(int depth, int line)
    {
        i_ += 2;
        skip_blanks();
        auto node = make(NodeKind::if_compare, line);
        if (peek_word() == "not") {
            node->negated = true;
            i_ += 3;
            skip_blanks();
        }
        const std::string word = peek_word();
        if (at('/')) return refuse(line, "if /i");
        if (word == "errorlevel" || word == "defined" || word == "cmdextversion")
            return refuse(line, "if " + word);
        if (word == "exist") {
            node->kind = NodeKind::if_exist;
            i_ += 5;
            skip_blanks();
            node->left = operand(depth, false, false);
            if (node->left.empty()) return refuse(line, "if exist without a name");
        } else {
            node->left = operand(depth, true, true);
            skip_blanks();
            if (!at("==")) return refuse(line, "if " + std::string(word.empty() ? "(other)" : word));
            i_ += 2;
            skip_blanks();
            node->right = operand(depth, true, false);
        }
        skip_blanks();
        if (i_ == s_.size() || at('\n')) return refuse(line, "if without a command");
        node->children.push_back(command(depth));
        if (stopped()) return node;
        skip_blanks();
        if (peek_word() == "else") return refuse(line, "else");
        return node;
    }

    std::unique_ptr<Node> for_command(int depth, int line)
    {
        i_ += 3;
        skip_blanks();
        if (at('/')) return refuse(line, "for " + std::string(s_.substr(i_, 2)));
        auto node = make(NodeKind::for_files, line);
        if (!at('%') || i_ + 1 >= s_.size()) return refuse(line, "for");
        node->variable = s_[i_ + 1];
        i_ += 2;
        skip_blanks();
        if (peek_word() != "in") return refuse(line, "for");
        i_ += 2;
        skip_blanks();
        if (!at('(')) return refuse(line, "for");
        ++i_;
        bool quoted = false;
        while (i_ < s_.size() && s_[i_] != '\n' && (quoted || s_[i_] != ')')) {
            if (s_[i_] == '"') quoted = !quoted;
            node->left += s_[i_++];
        }
        if (!at(')')) return refuse(line, "for");
        ++i_;
        skip_blanks();
        if (peek_word() != "do") return refuse(line, "for");
        i_ += 2;
        skip_blanks();
        if (i_ == s_.size() || at('\n')) return refuse(line, "for without a command");
        node->children.push_back(command(depth));
        return node;
    }
};

// "%f" and "%~nf" of a loop's variable in `text`.
std::string substitute(std::string_view text, char variable, std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        if (text[i + 1] == variable) {
            out += value;
            ++i;
            continue;
        }
        if (text[i + 1] != '~') {
            out += text[i];
            continue;
        }
        std::size_t j = i + 2;
        while (j < text.size() && std::string_view("fdpnx").find(text[j]) != std::string_view::npos) ++j;
        std::string_view modifiers = text.substr(i + 2, j - i - 2);
        if (j < text.size() && text[j] == variable) {
            ++j;
        } else if (!modifiers.empty() && modifiers.back() == variable) {
            modifiers.remove_suffix(1);
        } else {
            out += text[i];
            continue;
        }
        std::string bare(value);
        bare.erase(std::remove(bare.begin(), bare.end(), '"'), bare.end());
        const std::size_t slash = bare.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? "" : bare.substr(0, slash + 1);
        const std::string name = bare.substr(slash == std::string::npos ? 0 : slash + 1);
        const std::size_t dot = name.rfind('.');
        const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
        const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
        if (modifiers.empty() || modifiers.find('f') != std::string_view::npos) {
            out += bare;
        } else {
            if (modifiers.find('p') != std::string_view::npos) out += folder;
            if (modifiers.find('n') != std::string_view::npos) out += stem;
            if (modifiers.find('x') != std::string_view::npos) out += extension;
        }
        i = j - 1;
    }
    return out;
}

}  // namespace

std::string expand_percents(std::string_view line,
                            const std::function<std::optional<std::string>(std::string_view)>& lookup,
                            std::string_view script)
{
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            out += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        if (i + 1 < line.size() && ((line[i + 1] >= '0' && line[i + 1] <= '9') || line[i + 1] == '*')) {
            if (line[i + 1] == '0') out += script;
            ++i;
            continue;
        }
        if (line.substr(i + 1, 4) == "~dp0") {  // the batch file's folder, with its separator
            const std::size_t slash = script.find_last_of("/\\");
            if (slash != std::string_view::npos) out += script.substr(0, slash + 1);
            i += 4;
            continue;
        }
        const std::size_t end = line.find('%', i + 1);
        if (end == std::string_view::npos) continue;  // a lone "%" is dropped
        const std::string_view name = line.substr(i + 1, end - i - 1);
        if (const auto value = lookup(name)) out += *value;
        i = end;
    }
    return out;
}

std::optional<std::unique_ptr<Node>> parse_lines(std::string_view text, int first_line)
{
    return Parser(text, first_line).parse();
}

const Node* first_refused(const Node& node)
{
    if (node.kind == NodeKind::refused) return &node;
    for (const auto& child : node.children)
        if (const Node* found = first_refused(*child)) return found;
    return nullptr;
}

std::unique_ptr<Node> with_loop_value(const Node& node, char variable, std::string_view value)
{
    auto copy = std::make_unique<Node>();
    copy->kind = node.kind;
    copy->line = node.line;
    copy->text = substitute(node.text, variable, value);
    for (const auto& r : node.redirections)
        copy->redirections.push_back({r.handle, r.append, substitute(r.target, variable, value)});
    copy->negated = node.negated;
    copy->left = substitute(node.left, variable, value);
    copy->right = substitute(node.right, variable, value);
    copy->variable = node.variable;
    for (const auto& child : node.children)
        copy->children.push_back(child->kind == NodeKind::for_files && child->variable == variable
                                     ? with_loop_value(*child, 0, {})
                                     : with_loop_value(*child, variable, value));
    copy->joins = node.joins;
    return copy;
}

std::vector<std::string> program_words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_blank(text[i])) ++i;
        if (i == text.size()) break;
        std::string word;
        bool quoted = false;
        while (i < text.size() && (quoted || !is_blank(text[i]))) {
            const char c = text[i];
            if (c == '\\') {
                std::size_t run = 0;
                while (i + run < text.size() && text[i + run] == '\\') ++run;
                if (i + run < text.size() && text[i + run] == '"') {
                    word.append(run / 2, '\\');
                    if (run % 2) word += '"';
                    i += run + (run % 2);
                } else {
                    word.append(run, '\\');
                    i += run;
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    word += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            word += c;
            ++i;
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string command_name(std::string_view text, std::size_t* rest)
{
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i])) ++i;
    std::string name;
    bool quoted = false;
    for (; i < text.size() && (quoted || !is_blank(text[i])); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else
            name += text[i];
    }
    if (rest) *rest = i;
    return name;
}

}  // namespace mq::tools::batch
