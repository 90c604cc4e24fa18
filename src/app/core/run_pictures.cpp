#include "app/core/run_pictures.h"

#include "common/utf8.h"

#include <algorithm>
#include <initializer_list>
#include <system_error>

namespace fs = std::filesystem;

namespace mq::app {

namespace {

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equals_ignoring_case(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool has_extension(std::string_view name, std::initializer_list<std::string_view> extensions)
{
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view ext = name.substr(dot + 1);
    return std::any_of(extensions.begin(), extensions.end(),
                       [&](std::string_view e) { return equals_ignoring_case(ext, e); });
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The files of a folder with their size and time; nothing when it cannot be read.
std::vector<FileStamp> stamps_of(const fs::path& folder)
{
    std::vector<FileStamp> files;
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code entry_ec;
        if (!it->is_regular_file(entry_ec)) continue;
        FileStamp stamp{text::utf8_from_path(it->path().filename()), it->file_size(entry_ec), {}};
        stamp.modified = it->last_write_time(entry_ec);
        if (!entry_ec) files.push_back(std::move(stamp));
    }
    std::sort(files.begin(), files.end(),
              [](const FileStamp& a, const FileStamp& b) { return a.name < b.name; });
    return files;
}

}  // namespace

FolderSnapshot snapshot_folder(const std::string& folder)
{
    FolderSnapshot snapshot{folder, fs::file_time_type::clock::now(), {}};
    if (const auto path = text::path_from_utf8(folder)) snapshot.files = stamps_of(*path);
    return snapshot;
}

bool is_picture_name(std::string_view name)
{
    return has_extension(name, {"ps", "eps", "pdf", "png", "jpg", "jpeg"});
}

bool needs_conversion(std::string_view name)
{
    return has_extension(name, {"ps", "eps", "pdf"});
}

std::string ps_file_of(std::string_view script_text)
{
    std::string value;
    while (!script_text.empty()) {
        const auto end = script_text.find('\n');
        std::string_view line = trim(script_text.substr(0, end));
        script_text.remove_prefix(end == std::string_view::npos ? script_text.size() : end + 1);
        if (!line.empty() && line.front() == '@') line = trim(line.substr(1));
        if (line.size() < 4 || !equals_ignoring_case(line.substr(0, 3), "set") ||
            (line[3] != ' ' && line[3] != '\t'))
            continue;
        line = trim(line.substr(4));
        if (!line.empty() && line.front() == '"') {  // set "name=value": up to the last quote
            const auto close = line.rfind('"');
            line = close == 0 ? line.substr(1) : line.substr(1, close - 1);
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos || !equals_ignoring_case(line.substr(0, equals), "ps_file"))
            continue;
        value = std::string(trim(line.substr(equals + 1)));
    }
    return value;
}

std::vector<RunPicture> run_pictures(const FolderSnapshot& before, std::string_view script_text)
{
    const auto folder = text::path_from_utf8(before.folder);
    if (before.folder.empty() || !folder) return {};
    std::vector<FileStamp> changed;
    for (FileStamp& now : stamps_of(*folder)) {
        if (!is_picture_name(now.name)) continue;
        const auto old =
            std::lower_bound(before.files.begin(), before.files.end(), now.name,
                             [](const FileStamp& f, const std::string& n) { return f.name < n; });
        const bool same = old != before.files.end() && old->name == now.name && old->size == now.size &&
                          old->modified == now.modified;
        if (!same) changed.push_back(std::move(now));
    }
    std::sort(changed.begin(), changed.end(), [](const FileStamp& a, const FileStamp& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name < b.name;
    });
    std::vector<RunPicture> pictures;
    for (const FileStamp& f : changed)
        pictures.push_back({text::utf8_from_path(*folder / *text::path_from_utf8(f.name)), f.name});

    // The map the script names comes first.
    const std::string ps_file = ps_file_of(script_text);
    const auto named = text::path_from_utf8(ps_file + ".ps");
    if (ps_file.empty() || !named) return pictures;
    fs::path top = folder->lexically_normal();
    if (!top.has_filename()) top = top.parent_path();  // "maps/" is "maps"
    const fs::path path = (top / *named).lexically_normal();
    if (path.parent_path() == top) {
        const std::string name = text::utf8_from_path(path.filename());
        const auto it = std::find_if(pictures.begin(), pictures.end(), [&](const RunPicture& p) {
#ifdef _WIN32
            return equals_ignoring_case(p.name, name);  // the file system ignores case
#else
            return p.name == name;
#endif
        });
        if (it != pictures.end()) std::rotate(pictures.begin(), it, it + 1);
        return pictures;
    }
    std::error_code ec;  // elsewhere: written since the run started
    const auto modified = fs::last_write_time(path, ec);
    if (ec || !fs::is_regular_file(path, ec) || modified < before.taken) return pictures;
    const fs::path relative = path.lexically_relative(top);
    const bool inside = !relative.empty() && *relative.begin() != "..";
    pictures.insert(pictures.begin(),
                    {text::utf8_from_path(path), text::utf8_from_path(inside ? relative : path)});
    return pictures;
}

}  // namespace mq::app
