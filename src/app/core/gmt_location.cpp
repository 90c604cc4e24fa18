#include "app/core/gmt_location.h"

#include "common/utf8.h"
#include "tools/batch_runner.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace mq::app {

namespace {

bool is_program(const fs::path& path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

// The gmt program in `folder` or its "bin" subfolder, or `folder` itself
// when it names the program; empty when there is none.
std::string gmt_in(std::string_view folder)
{
    const auto path = text::path_from_utf8(folder);
    if (folder.empty() || !path) return {};
    const fs::path name{std::string(gmt_file_name())};
    if (path->filename() == name && is_program(*path)) return text::utf8_from_path(path->lexically_normal());
    for (const fs::path& candidate : {*path / name, *path / "bin" / name})
        if (is_program(candidate)) return text::utf8_from_path(candidate.lexically_normal());
    return {};
}

}  // namespace

std::string_view gmt_file_name()
{
#ifdef _WIN32
    return "gmt.exe";
#else
    return "gmt";
#endif
}

std::vector<std::string> gmt_installer_folders()
{
#ifdef _WIN32
    // The installer's own default, then the same folder under Program Files.
    std::vector<std::string> folders{"C:\\programs\\gmt6\\bin"};
    for (const char* variable : {"ProgramW6432", "ProgramFiles"}) {
        if (const char* root = std::getenv(variable); root && *root)
            folders.push_back(std::string(root) + "\\gmt6\\bin");
    }
    return folders;
#else
    return {};
#endif
}

std::string find_gmt(std::string_view folder_setting,
                     const std::function<std::string(std::string_view)>& on_path,
                     const std::vector<std::string>& installer_folders)
{
    std::string_view folder = folder_setting;
    while (!folder.empty() && (folder.front() == ' ' || folder.front() == '"')) folder.remove_prefix(1);
    while (!folder.empty() && (folder.back() == ' ' || folder.back() == '"')) folder.remove_suffix(1);
    if (std::string found = gmt_in(folder); !found.empty()) return found;
    if (std::string found = on_path("gmt"); !found.empty()) return found;
    for (const std::string& candidate : installer_folders)
        if (std::string found = gmt_in(candidate); !found.empty()) return found;
    return {};
}

std::string gmt_program(std::string_view folder_setting)
{
    return find_gmt(folder_setting, tools::find_on_path, gmt_installer_folders());
}

std::string gmt_missing_text()
{
    return "GMT was not found. Install it (Debian or Ubuntu: apt install gmt gmt-gshhg ghostscript; "
           "Windows: the GMT installer), or name the folder that holds gmt in the setting \"GMT folder\".";
}

}  // namespace mq::app
