// The rules behind the file and edit commands that do not depend on windows:
// the recent-files list, captions, filter lists and the save filter choice.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mq::app {

// Filter lists of the file dialogs, as label|pattern pairs.
extern const std::string_view kOpenFilter;     // Open File, Import File and the tool windows
extern const std::string_view kSaveFilter;     // Save File as
extern const std::string_view kInsertFilter;   // Insert File Path / Name

// The four most recently used files, newest first ("" where empty).
using RecentFiles = std::array<std::string, 4>;

// Records path as the newest entry, shifting the others down from the bottom
// up; an entry equal to path moves to the top. Returns false when the list
// is unchanged (path was entry 1), in which case nothing needs storing.
bool recordRecentFile(RecentFiles& entries, const std::string& path);

// Menu captions of the recent-file entries: "1: " + path, ... and the path
// back from such a caption (everything from the fourth character on).
std::string recentCaption(int number, const std::string& path);
std::string pathFromRecentCaption(std::string_view caption);

// An editor's caption is an optional "'" (no confirmed file name yet), the
// name and an optional "*" (modified). The marks are only ever the first and
// the last character: a path may hold "'" and "*" itself (it's.bat).
std::string captionFor(std::string_view name, bool unconfirmed, bool modified);
std::string pathFromCaption(std::string_view caption);   // the name without the two marks
inline bool captionIsModified(std::string_view caption) { return !caption.empty() && caption.back() == '*'; }
inline bool captionIsUnconfirmed(std::string_view caption) { return !caption.empty() && caption.front() == '\''; }

// The save dialog's preselected filter entry and default extension for a
// path, chosen by the file name's extension (from its last "." on; a "." in
// a folder name does not count). Compared exactly, letter case included.
struct SaveFilterChoice {
    int filterIndex = 1;
    std::optional<std::string> defaultExt;   // none: keep what the dialog had
};
SaveFilterChoice saveFilterFor(std::string_view path);

// The text "Insert File Name" inserts for a chosen file: its name without
// folder, less the last four characters; none when the name is shorter.
std::optional<std::string> insertableFileName(std::string_view fullPath);

// Line, column and line count for the status bar. Offsets count a line end
// as two characters (CR LF), as the saved script does.
struct CaretPosition {
    long long line = 1;
    long long column = 1;
};
CaretPosition caretPosition(long long caretLine, long long caretLineStart, long long selectionStart);

}  // namespace mq::app
