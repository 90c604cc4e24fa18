// Captions, the recent-files captions and the save filter choice (the tables
// in data/documents.txt).
#include "app/core/document_rules.h"
#include "case_file.h"
#include "common/golden_rows.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

using namespace mq::app;

namespace {

const char* const kGolden =
#include "documents_golden.h"
    ;

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
    // caption | path | changed | unconfirmed
    for (const auto& row : mq::testing::golden_rows(kGolden, "caption")) {
        const std::string caption = mq::testing::unescape(row[0]), path = mq::testing::unescape(row[1]);
        const bool modified = row[2] == "true", unconfirmed = row[3] == "true";
        CAPTURE(caption);
        CHECK(pathFromCaption(caption) == path);
        CHECK(captionIsModified(caption) == modified);
        CHECK(captionIsUnconfirmed(caption) == unconfirmed);
        CHECK(captionFor(path, unconfirmed, modified) == caption);
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
    const std::vector<std::string> save = entries(kSaveFilter);
    for (const auto& row : mq::testing::golden_rows(kGolden, "save_filter")) {   // path | index | extension
        CAPTURE(row[0]);
        const SaveFilterChoice choice = saveFilterFor(mq::testing::unescape(row[0]));
        CHECK(choice.filterIndex == std::stoi(row[1]));
        CHECK(choice.defaultExt.value_or("none") == row[2]);
        // The chosen entry of the Save File as list is the one for that extension.
        if (choice.defaultExt) CHECK(save.at(std::size_t(2 * choice.filterIndex - 1)) == "*." + row[2]);
    }
}

TEST_CASE("Save File as offers the first eight entries of Open File, in order")
{
    const std::vector<std::string> open = entries(kOpenFilter);
    CHECK(open.size() == 20);
    CHECK(entries(kInsertFilter).size() == 20);
    CHECK(entries(kSaveFilter) == std::vector<std::string>(open.begin(), open.begin() + 16));
}
