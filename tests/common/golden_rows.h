// The rows of an embedded golden table: "<kind> | <field> | <field> ...",
// where a "#" line is a comment, \t stands for a TAB and '' for an empty
// field. A kind without rows is a mistake in the test.
#pragma once

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace mq::testing {

inline std::vector<std::vector<std::string>> golden_rows(const char* golden, const std::string& kind)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(golden);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(kind + " | ")) continue;
        for (std::size_t at; (at = line.find("\\t")) != std::string::npos;) line.replace(at, 2, "\t");
        std::vector<std::string> fields;
        for (std::size_t from = kind.size() + 3, bar;; from = bar + 3) {
            bar = line.find(" | ", from);
            fields.push_back(line.substr(from, bar - from));
            if (fields.back() == "''") fields.back().clear();
            if (bar == std::string::npos) break;
        }
        rows.push_back(fields);
    }
    if (rows.empty()) throw std::invalid_argument("no rows of " + kind);
    return rows;
}

}  // namespace mq::testing
