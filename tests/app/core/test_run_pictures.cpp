// Which pictures a run wrote, and the map a script names.
#include "app/core/run_pictures.h"

#include "temp_folder.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

using namespace mq::app;
namespace fs = std::filesystem;

TEST_CASE("the map a script names with set ps_file")
{
    struct Case {
        const char* script;
        const char* value;
    };
    const Case cases[] = {
        {"set ps_file=map\r\n", "map"},
        {"@echo off\r\nSET PS_FILE=Map One  \r\n", "Map One"},
        {"set ps_file=first\nset ps_file=second\n", "second"},   // the last one counts
        {"set ps_file=first\nset ps_file=\n", ""},               // cleared again
        {"  @set \"ps_file=quoted\" rest\n", "quoted"},
        {"set \"ps_file=open", "open"},                          // no closing quote
        {"set ps_file =spaced\n", ""},                           // another variable's name
        {"set ps_files=other\nrem set ps_file=x\necho set ps_file=y\n", ""},
        {"setps_file=x\nset\nset \"\n=\n", ""},                  // malformed lines
        {"set ps_file=a=b\n", "a=b"},
        {"", ""},
    };
    for (const Case& c : cases) {
        CAPTURE(c.script);
        CHECK(ps_file_of(c.script) == c.value);
    }
}

TEST_CASE("the pictures a run wrote")
{
    using namespace std::chrono_literals;
    struct Case {
        const char* what;
        std::vector<std::string> before;   // files there when the run starts
        std::vector<std::string> made;     // files the run writes, oldest first
        std::vector<std::string> touched;  // files it rewrites unchanged in size
        const char* script;
        std::vector<std::string> listed;
    };
    const Case cases[] = {
        {"new, newest first", {}, {"a.png", "b.ps", "c.pdf"}, {}, "", {"c.pdf", "b.ps", "a.png"}},
        {"unchanged ones left out", {"old.ps", "old.png"}, {"new.jpg"}, {}, "", {"new.jpg"}},
        {"changed in time alone", {"old.ps", "same.eps"}, {}, {"old.ps"}, "", {"old.ps"}},
        {"rewritten with new content", {"map.ps"}, {"map.ps"}, {}, "", {"map.ps"}},
        {"not pictures", {}, {"data.xyz", "map.ps.bak", "ps", "run.log", "x.jpeg"}, {}, "", {"x.jpeg"}},
        {"upper-case extensions", {}, {"A.PS", "B.Jpg", "C.EPS", "D.PDF", "E.PNG"}, {}, "",
         {"E.PNG", "D.PDF", "C.EPS", "B.Jpg", "A.PS"}},
        {"ps_file first", {}, {"map.ps", "later.png"}, {}, "set ps_file=map\r\n", {"map.ps", "later.png"}},
        {"ps_file unchanged", {"map.ps"}, {"later.png"}, {}, "set ps_file=map\r\n", {"later.png"}},
        {"ps_file missing", {}, {"later.png"}, {}, "set ps_file=none\r\n", {"later.png"}},
        {"subfolder ignored", {}, {"sub/inner.ps", "top.ps"}, {}, "", {"top.ps"}},
        {"ps_file in a subfolder", {}, {"sub/inner.ps", "top.ps"}, {}, "set ps_file=sub/inner\n",
         {"sub/inner.ps", "top.ps"}},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        mq::testing::TempFolder folder;
        fs::create_directory(folder.root() / "sub");
        const auto start = fs::file_time_type::clock::now();
        for (const auto& name : c.before) {
            folder.write(name, "before");
            fs::last_write_time(folder.path(name), start - 1h);
        }
        const FolderSnapshot snapshot = snapshot_folder(folder.root().string());
        auto time = start + 1s;
        for (const auto& name : c.made) {
            folder.write(name, "made by the run");
            fs::last_write_time(folder.path(name), time += 1s);
        }
        for (const auto& name : c.touched) fs::last_write_time(folder.path(name), start + 1min);

        std::vector<std::string> listed;
        for (const RunPicture& p : run_pictures(snapshot, c.script)) {
            std::string name = p.name;
            std::replace(name.begin(), name.end(), '\\', '/');
            listed.push_back(name);
            CHECK(fs::exists(p.path));
        }
        CHECK(listed == c.listed);
    }
}

TEST_CASE("no snapshot or no folder: no pictures, no failure")
{
    CHECK(run_pictures({}, "set ps_file=map").empty());
    mq::testing::TempFolder folder;
    const FolderSnapshot gone = snapshot_folder(folder.path("missing"));
    CHECK(gone.files.empty());
    CHECK(run_pictures(gone, "").empty());
}
