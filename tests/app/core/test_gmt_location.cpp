// Where the gmt program is looked for, in order.
#include "app/core/gmt_location.h"

#include "temp_folder.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>

using namespace mq::app;

TEST_CASE("the gmt program: setting, PATH, installer folder")
{
    mq::testing::TempFolder folder;
    for (const char* sub : {"direct", "install/bin", "programs/gmt6/bin", "empty"})
        std::filesystem::create_directories(folder.root() / sub);
    const std::string gmt(gmt_file_name());
    const std::string direct = folder.write("direct/" + gmt, "");
    const std::string in_bin = folder.write("install/bin/" + gmt, "");
    const std::string installer = folder.write("programs/gmt6/bin/" + gmt, "");
    folder.write("empty/readme.txt", "");

    struct Case {
        std::string setting, on_path;
        bool installed;
        std::string found;
    };
    const Case cases[] = {
        {folder.path("direct"), "/usr/bin/gmt", true, direct},          // the setting comes first
        {"\"" + folder.path("direct") + "\"", "", false, direct},        // pasted with its quotes
        {folder.path("install"), "", false, in_bin},                     // its bin subfolder
        {direct, "", false, direct},                                     // the program itself
        {"", "/usr/bin/gmt", true, "/usr/bin/gmt"},                      // no setting: PATH
        {folder.path("empty"), "/usr/bin/gmt", false, "/usr/bin/gmt"},   // a setting without gmt
        {"", "", true, installer},                                       // the installer's folder
        {folder.path("empty"), "", false, ""},                           // nowhere
    };
    for (const Case& c : cases) {
        CAPTURE(c.setting);
        const auto on_path = [&](std::string_view program) {
            CHECK(program == "gmt");
            return c.on_path;
        };
        std::vector<std::string> installer_folders{folder.path("nothing/here")};
        if (c.installed) installer_folders.push_back(folder.path("programs/gmt6/bin"));
        CHECK(std::filesystem::path(find_gmt(c.setting, on_path, installer_folders)) == c.found);
    }
    CHECK(gmt_missing_text().find("apt install gmt gmt-gshhg ghostscript") != std::string::npos);
}
