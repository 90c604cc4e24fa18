// How cmd.exe reads the lines of a batch file, for the batch runner: the
// expansion of %NAME% when a line is read, then its commands, pipes,
// redirections, blocks in parentheses, "if" and "for".
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::tools::batch {

// %NAME% as cmd.exe expands it in a batch file: "%%" is "%", a name found by
// `lookup` (letters without case) gives its value, an undefined name gives
// nothing, and so does a lone "%"; %0 is `script`, %1 to %9 and %* are empty.
std::string expand_percents(std::string_view line,
                            const std::function<std::optional<std::string>(std::string_view name)>& lookup,
                            std::string_view script = {});

struct Redirection {
    int handle = 1;       // 0 "<", 1 ">", 2 "2>"
    bool append = false;  // ">>"
    std::string target;   // the file name, quotes removed; "&1" or "&2" for a copy of that handle
};

enum class NodeKind {
    nothing,     // an empty line, a REM, a label
    simple,      // one command: `text`, `redirections`
    pipeline,    // `children` joined by "|"
    sequence,    // `children` joined by `joins`
    block,       // "( ... )": `children[0]` a sequence
    if_exist,    // if [not] exist `left` `children[0]`
    if_compare,  // if [not] `left`==`right` `children[0]`
    for_files,   // for %`variable` in (`left`) do `children[0]`
    refused,     // a command the runner cannot carry out: `text` says which
    malformed,   // a syntax error to cmd.exe (a redirection without a name): `text`
};

enum class Join { line, always, on_success, on_failure };  // a new line, "&", "&&", "||"

struct Node {
    NodeKind kind = NodeKind::nothing;
    int line = 0;  // the script line where it starts
    std::string text;
    std::vector<Redirection> redirections;
    bool negated = false;
    std::string left, right;
    char variable = 0;
    std::vector<std::unique_ptr<Node>> children;
    std::vector<Join> joins;  // sequence: joins[i] stands before children[i + 1]
};

// Parses one or more expanded lines (joined by "\n"); `first_line` is the
// number of the first. Empty when a block is still open at the end: the
// caller adds the next line and parses again.
std::optional<std::unique_ptr<Node>> parse_lines(std::string_view text, int first_line);

// The first refused node in a tree; nullptr when it has none.
const Node* first_refused(const Node& node);

// A copy of the tree with "%f" (the loop's variable, as the line holds it
// after expansion) replaced by `value` everywhere.
std::unique_ptr<Node> with_loop_value(const Node& node, char variable, std::string_view value);

// The words of a command as a program started by cmd.exe reads them (the
// C runtime's rules: blanks split words, double quotes group and are
// dropped, a backslash escapes a double quote).
std::vector<std::string> program_words(std::string_view text);

// The first word of a command and where the rest begins.
std::string command_name(std::string_view text, std::size_t* rest = nullptr);

}  // namespace mq::tools::batch
