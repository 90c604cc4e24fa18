// The pictures a script run wrote: a snapshot of the script's folder taken
// when the run starts, compared with the folder when it has ended.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mq::app {

struct FileStamp {
    std::string name;  // UTF-8, without folder
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
};

struct FolderSnapshot {
    std::string folder;                       // UTF-8; empty: no snapshot
    std::filesystem::file_time_type taken{};  // the file system's clock when it was taken
    std::vector<FileStamp> files;             // the top-level files, by name
};

// The top-level files of `folder` (UTF-8) as they are now. A folder that
// cannot be read gives no files, so that everything found later is new.
FolderSnapshot snapshot_folder(const std::string& folder);

// PostScript, EPS, PDF, PNG or JPEG by the name's extension, in any case.
bool is_picture_name(std::string_view name);
// PostScript, EPS or PDF: shown after conversion to PNG.
bool needs_conversion(std::string_view name);

// The value the last "set ps_file=NAME" line of a batch script gives
// (also "@set", "SET", set "ps_file=NAME"); empty when there is none or the
// last one clears it.
std::string ps_file_of(std::string_view script_text);

struct RunPicture {
    std::string path;  // UTF-8, full
    std::string name;  // as listed: the file name, or the path for a file outside the folder
};

// The pictures new or changed in the snapshot's folder since it was taken,
// newest first (ties by name). The file "%ps_file%.ps" that `script_text`
// names comes first when it exists and changed, wherever it lies. Subfolders
// are not looked into.
std::vector<RunPicture> run_pictures(const FolderSnapshot& before, std::string_view script_text);

}  // namespace mq::app
