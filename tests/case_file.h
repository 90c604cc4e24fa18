// Test cases kept as text files: "== name" starts a case, "key value" lines
// follow (a key given twice adds on), "#" starts a comment line. In values
// \n \r \t \\ \xHH are bytes, and "@" stands for a folder the test gives.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace mq::testing {

inline std::string unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x') {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c == '0' ? '\0' : c;
        }
    }
    return out;
}

struct CommandCase {
    std::string name;
    std::map<std::string, std::string> raw;   // key: its values joined, still escaped
    bool has(const std::string& key) const { return raw.count(key) != 0; }
    std::string get(const std::string& key, const std::string& folder) const
    {
        // The folder goes in after unescaping: Windows writes it with "\\".
        const std::string text = has(key) ? raw.at(key) : "";
        std::string out;
        for (std::size_t at = 0, mark;; at = mark + 1) {
            mark = text.find('@', at);
            out += unescape(std::string_view(text).substr(at, mark - at));
            if (mark == std::string::npos) return out;
            out += folder;
        }
    }
};

inline std::vector<CommandCase> read_command_cases(std::string_view text)
{
    std::vector<CommandCase> cases;
    std::istringstream in{std::string(text)};
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        if (line.starts_with("== ")) {
            cases.push_back({line.substr(3), {}});
            continue;
        }
        if (cases.empty()) continue;
        const auto blank = line.find(' ');
        auto& value = cases.back().raw[line.substr(0, blank)];
        if (blank != std::string::npos) value += line.substr(blank + 1);
    }
    return cases;
}

}  // namespace mq::testing
