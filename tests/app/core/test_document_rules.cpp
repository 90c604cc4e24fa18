// Captions, the recent-files captions and the save filter choice.
#include "app/core/document_rules.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace mq::app;

namespace {

std::vector<std::string> entries(std::string_view filter)
{
    std::vector<std::string> out(1);
    for (char c : filter) {
        if (c == '|') out.emplace_back();
        else out.back() += c;
    }
    return out;
}

}  // namespace

TEST_CASE("an editor's caption: path, modified mark and unconfirmed mark")
{
    struct Case {
        std::string caption, path;
        bool modified, unconfirmed;
    };
    const Case cases[] = {
        {"'Script", "Script", false, true},                 // new
        {"'Script*", "Script", true, true},                 // new, changed
        {"'C:\\maps\\run.bat", "C:\\maps\\run.bat", false, true},
        {"/maps/run.bat*", "/maps/run.bat", true, false},   // saved, changed
        {"/maps/o'neil*s.bat", "/maps/o'neil*s.bat", false, false},   // marks inside belong to the path
        {"'/maps/it's.bat*", "/maps/it's.bat", true, true},
        {"'/maps/all*", "/maps/all", true, true},           // a name ending in a star
        {"''90s/run.bat", "'90s/run.bat", false, true},     // a folder starting with an apostrophe
        {"'*", "", true, true},
        {"", "", false, false},
    };
    for (const Case& c : cases) {
        CAPTURE(c.caption);
        CHECK(pathFromCaption(c.caption) == c.path);
        CHECK(captionIsModified(c.caption) == c.modified);
        CHECK(captionIsUnconfirmed(c.caption) == c.unconfirmed);
        CHECK(captionFor(c.path, c.unconfirmed, c.modified) == c.caption);
    }
}

TEST_CASE("recent-file captions")
{
    CHECK(recentCaption(2, "") == "2: ");
    CHECK(pathFromRecentCaption("2: ") == "");
    CHECK(pathFromRecentCaption("2:") == "");
    CHECK(pathFromRecentCaption(recentCaption(4, "C:\\a b\\c.bat")) == "C:\\a b\\c.bat");
}

TEST_CASE("the save filter follows the file name's extension")
{
    struct Case {
        std::string path;
        int filterIndex;
        std::string defaultExt;   // "-" for none
    };
    const Case cases[] = {
        {"run.bat", 3, "bat"},
        {"/a/notes.txt", 2, "txt"},
        {"relief.cpt", 4, "cpt"},
        {"cols.awk", 8, "awk"},
        {"Script", 1, "-"},
        {"C:\\my.data\\run.bat", 3, "bat"},        // a dot in a folder
        {"/home/me/my.maps/Script", 1, "-"},       // a dot only in a folder
        {"run.bat.txt", 2, "txt"},                 // the last dot counts
        {"RUN.BAT", 1, "-"},                       // letter case counts
        {"grid.xyz", 1, "-"},
        {"run.", 1, "-"},
    };
    const std::vector<std::string> save = entries(kSaveFilter);
    for (const Case& c : cases) {
        CAPTURE(c.path);
        const SaveFilterChoice choice = saveFilterFor(c.path);
        CHECK(choice.filterIndex == c.filterIndex);
        CHECK(choice.defaultExt.value_or("-") == c.defaultExt);
        // The chosen entry of the Save File as list is the one for that extension.
        if (choice.defaultExt) CHECK(save.at(std::size_t(2 * c.filterIndex - 1)) == "*." + c.defaultExt);
    }
}

TEST_CASE("Save File as offers the first eight entries of Open File, in order")
{
    const std::vector<std::string> open = entries(kOpenFilter);
    CHECK(open.size() == 20);
    CHECK(entries(kInsertFilter).size() == 20);
    CHECK(entries(kSaveFilter) == std::vector<std::string>(open.begin(), open.begin() + 16));
}
