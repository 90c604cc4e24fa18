// Where the gmt program is: the folder the user named in the settings
// ("GMT"/"Folder"), else gmt on PATH, else (on Windows) the folder the GMT
// installer offers by default.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mq::app {

// The settings section and key of the GMT folder.
inline constexpr std::string_view kGmtSettingsSection = "GMT";
inline constexpr std::string_view kGmtFolderKey = "Folder";

// The gmt program's file name on this system: "gmt.exe" on Windows, else "gmt".
std::string_view gmt_file_name();

// The folders the GMT 6 Windows installer puts gmt.exe in when its defaults
// are kept; none elsewhere.
std::vector<std::string> gmt_installer_folders();

// The gmt program to run (a UTF-8 path), looked for in this order:
//  1. `folder_setting`: the folder itself, its "bin" subfolder, or the gmt
//     program named directly (surrounding double quotes are dropped);
//  2. `on_path("gmt")`;
//  3. each of `installer_folders`.
// Empty when none has it.
std::string find_gmt(std::string_view folder_setting,
                     const std::function<std::string(std::string_view)>& on_path,
                     const std::vector<std::string>& installer_folders);

// find_gmt with this system's PATH and installer folders.
std::string gmt_program(std::string_view folder_setting);

// The one line the Output shows when GMT cannot be found, with how to
// install it.
std::string gmt_missing_text();

}  // namespace mq::app
