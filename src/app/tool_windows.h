// The one table of the windows the menus and the toolbar show: for each its
// menu entry, its window name, its toolbar key (if any) and how it is made.
// Adding a window means adding one row here; a file tool's window comes from
// its row in the tool list (tools/file_tools.h) and its header's include.
#pragma once

#include "common/ui/tool_context.h"

#include <functional>
#include <string_view>
#include <vector>

class QWidget;

namespace mq::app {

struct ToolWindowEntry {
    std::string_view menuEntry;    // control name of the menu entry that shows it
    std::string_view windowName;   // the window's class name
    std::string_view toolbarKey;   // key of the toolbar button that shows it; empty when none
    std::function<QWidget*(const tools::ToolContext&)> create;
};

const std::vector<ToolWindowEntry>& toolWindowTable();

}  // namespace mq::app
