// The fixed texts that the Script, Grid, Map, Color, Text / Plots and Tools
// menus and the toolbar's two snippet menus insert into the active editor.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mq::catalogue {

// Stands in a piece where the current date and time go; the window replaces
// it with the locale's short date, "  /  " and the long time.
inline constexpr std::string_view kDateTimeMarker = "\x01";

// One text-inserting command: its menu entry (or snippet key), caption, the
// pieces inserted one after another at the caret, and whether the editor gets
// the keyboard focus afterwards. Pieces are UTF-8 with CR LF line ends.
struct ScriptTemplate {
    std::string_view name;
    std::string_view caption;
    std::vector<std::string_view> pieces;
    bool focusAfter = false;
};

// An entry of a toolbar drop-down button's menu.
struct SnippetMenuEntry {
    std::string_view buttonKey;   // "dos" or "awk"
    ScriptTemplate snippet;       // name = the entry key, caption = the entry text
};

// Every menu template, in menu order within each menu.
const std::vector<ScriptTemplate>& scriptTemplates();
// The entries of both snippet menus, in menu order.
const std::vector<SnippetMenuEntry>& snippetMenuEntries();

// Look-ups compare exactly, letter case included; nullptr when nothing matches.
const ScriptTemplate* findTemplate(std::string_view name);
const ScriptTemplate* findSnippet(std::string_view key);

// The pieces with every date-and-time marker replaced by dateTime.
std::vector<std::string> expandPieces(const ScriptTemplate& tpl, std::string_view dateTime);

}  // namespace mq::catalogue
