#include "app/core/document_rules.h"

#include <cstdlib>

namespace mq::app {

const std::string_view kOpenFilter =
    "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
    "Color Files (*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|"
    "xy* ASCII (*.xy*)|*.xy*|Awk script (*.awk)|*.awk|VRML 3D file (*.wrl)|*.wrl|"
    "HGT file (*.hgt)|*.hgt";

const std::string_view kSaveFilter =
    "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
    "Color Files (*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|xyz ASCII (*.xyz)|*.xyz|"
    "xy* ASCII (*.xy*)|*.xy*|Awk script (*.awk)|*.awk";

const std::string_view kInsertFilter =
    "All Files (*.*)|*.*|Text Files(*.txt)|*.txt|Batch Files (*.bat)|*.bat|"
    "Grid Files (*.grd)|*.grd|Color Files(*.cpt)|*.cpt|LaLo ASCII (*.lalo)|*.lalo|"
    "xyz ASCII (*.xyz)|*.xyz|xy* ASCII (*.xy*)|*.xy*|Awk scripts (*.awk)|*.awk|"
    "HDP-POST DTMl (*.DTMl)|*.DTMl";

bool recordRecentFile(RecentFiles& e, const std::string& path)
{
    if (e[0] == path) return false;
    if (e[1] == path) {
        e[1] = e[0];
    } else if (e[2] == path) {
        e[2] = e[1];
        e[1] = e[0];
    } else {
        e[3] = e[2];
        e[2] = e[1];
        e[1] = e[0];
    }
    e[0] = path;
    return true;
}

std::string recentCaption(int number, const std::string& path)
{
    return std::to_string(number) + ": " + path;
}

std::string pathFromRecentCaption(std::string_view caption)
{
    return caption.size() > 3 ? std::string(caption.substr(3)) : std::string();
}

std::string captionFor(std::string_view name, bool unconfirmed, bool modified)
{
    std::string caption;
    caption.reserve(name.size() + 2);
    if (unconfirmed) caption += '\'';
    caption += name;
    if (modified) caption += '*';
    return caption;
}

std::string pathFromCaption(std::string_view caption)
{
    if (captionIsUnconfirmed(caption)) caption.remove_prefix(1);
    if (captionIsModified(caption)) caption.remove_suffix(1);
    return std::string(caption);
}

SaveFilterChoice saveFilterFor(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    const std::string_view extension = dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
    if (extension == ".bat") return {3, "bat"};
    if (extension == ".txt") return {2, "txt"};
    if (extension == ".cpt") return {4, "cpt"};
    if (extension == ".awk") return {8, "awk"};
    return {1, std::nullopt};
}

std::optional<std::string> insertableFileName(std::string_view fullPath)
{
    const auto slash = fullPath.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? fullPath : fullPath.substr(slash + 1);
    if (name.size() < 4) return std::nullopt;
    return std::string(name.substr(0, name.size() - 4));
}

CaretPosition caretPosition(long long caretLine, long long caretLineStart, long long selectionStart)
{
    return {caretLine + 1, std::llabs(selectionStart - caretLineStart) + 1};
}

}  // namespace mq::app
