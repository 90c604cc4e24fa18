// The main window's menu bar as data: every entry with its control name,
// caption, shortcut and flags, in menu order.
#pragma once

#include <string_view>
#include <vector>

namespace mq::app {

struct MenuEntry {
    std::string_view parent;    // the menu holding the entry; empty for the menu bar
    std::string_view name;      // control name, used as the object name
    std::string_view caption;   // "&" marks the access key, "&&" shows one "&", "-" is a separator
    std::string_view shortcut = {};
    bool submenu = false;       // holds entries of its own
    bool visible = true;
    bool enabled = true;
};

const std::vector<MenuEntry>& menuTree();

}  // namespace mq::app
