// A batch line, and a file name written into one, read back by cmd.exe's rules.
#include "harness.h"
#include "tools/batch_runner.h"
#include "tools/batch_script.h"

using namespace mq::tools;

MQ_FUZZ_TARGET(text)
{
    classify_batch_line(text);
    // The runner's reading of lines: any text gives a tree, a refusal or "open block".
    const std::string expanded =
        batch::expand_percents(text, [](std::string_view name) -> std::optional<std::string> {
            if (name.size() % 2) return std::string(name);
            return std::nullopt;
        });
    if (auto tree = batch::parse_lines(expanded, 1)) {
        batch::first_refused(**tree);
        batch::with_loop_value(**tree, 'f', "a b.txt");
    }
    batch::program_words(text);
    if (text.find_first_of("\r\n") != std::string::npos) return;   // no name of a line holds a line end
    if (const auto argument = batch_argument(text)) {
        const BatchLine read = classify_batch_line("del " + *argument);
        check(read.kind == BatchLineKind::Delete && read.words.size() == 1 && read.words[0] == text);
    } else {
        check(text.find('"') != std::string::npos);
    }
    // Echo drops blanks at the end of its line and reads "off" and "on" as switches.
    std::string lower = text;
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (text.find('"') == std::string::npos && !text.empty() && text.back() != ' ' && text.back() != '\t' &&
        lower != "off" && lower != "on") {
        const BatchLine echo = classify_batch_line("echo " + batch_echo_text(text));
        check(echo.kind == BatchLineKind::Echo && echo.text == text);
    }
}
