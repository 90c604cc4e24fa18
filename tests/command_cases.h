// Tables of mapquill-tools command lines kept as text files (data/*.txt),
// each case run in-process in a fresh folder of its own:
//
//   == name           starts a case; "#" starts a comment line
//   args a|b|c        the command line, its arguments split at "|" (none: no arguments)
//   in TEXT           in.txt before the run (after in-doubles X Y Z: little-endian
//                     doubles; then in-zeros N: N zero bytes)
//   output NAME       the output's name when not out.txt (partial-as NAME: that of the kept records)
//   old TEXT          the output before the run
//   exit N            the exit status (0 when not given)
//   stdout TEXT       exact stdout (stdout-has, stdout-starts: holds, starts with)
//   err TEXT          stderr holds TEXT on one line; without it stderr is empty
//   out TEXT          the output afterwards ("<missing>": none; out-size N, out-starts)
//   partial TEXT      out.partial.txt (or partial-as) afterwards
//
// "@" stands for the case's folder (with its separator; see case_file.h).
// in.txt never changes.
#pragma once

#include "case_file.h"
#include "cli/tool.h"
#include "temp_folder.h"
#include "tools/tile_fixture.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace mq::testing {

inline void run_command_cases(std::string_view text)
{
    for (const CommandCase& c : read_command_cases(text)) {
        CAPTURE(c.name);
        TempFolder dir;
        const std::string folder = dir.path("x").substr(0, dir.path("x").size() - 1);
        const auto value = [&](const char* key) { return c.get(key, folder); };
        std::string input;
        std::istringstream numbers(value("in-doubles"));
        for (double v; numbers >> v;) input += doubles({v});
        input += value("in") + std::string(c.has("in-zeros") ? std::stoul(value("in-zeros")) : 0, '\0');
        dir.write("in.txt", input);
        const std::string output = c.has("output") ? value("output") : "out.txt";
        if (c.has("old")) dir.write(output, value("old"));
        std::vector<std::string> args;
        const std::string line = c.raw.at("args") + '|';
        for (std::size_t at = 0, bar; line != "|" && (bar = line.find('|', at)) != std::string::npos;
             at = bar + 1)
            args.push_back(CommandCase{"", {{"a", line.substr(at, bar - at)}}}.get("a", folder));
        const std::vector<std::string_view> views(args.begin(), args.end());
        std::ostringstream out_stream, err_stream;
        const int code = cli::run_tools(views, out_stream, err_stream);
        const std::string out = out_stream.str(), err = err_stream.str();
        CAPTURE(err);
        CHECK(code == (c.has("exit") ? std::stoi(value("exit")) : 0));
        if (c.has("stdout")) CHECK(out == value("stdout"));
        if (c.has("stdout-has")) CHECK(out.find(value("stdout-has")) != std::string::npos);
        if (c.has("stdout-starts")) CHECK(out.starts_with(value("stdout-starts")));
        if (!c.has("err")) CHECK(err.empty());
        else {
            CHECK(err.find(value("err")) != std::string::npos);
            if (!args.empty())   // one line, naming the tool (the overview aside)
                CHECK((std::count(err.begin(), err.end(), '\n') == 1 && err.starts_with("mapquill-tools")));
        }
        const std::string written = dir.read(output);
        if (c.has("out")) CHECK(written == value("out"));
        if (c.has("out-size")) CHECK(written.size() == std::stoul(value("out-size")));
        if (c.has("out-starts")) CHECK(written.starts_with(value("out-starts")));
        const std::string partial = c.has("partial-as") ? value("partial-as") : "out.partial.txt";
        if (c.has("partial")) CHECK(dir.read(partial) == value("partial"));
        CHECK(dir.read("in.txt") == input);
    }
}

}  // namespace mq::testing
