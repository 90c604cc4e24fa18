#include "app/menu_tree.h"

#include "tools/file_tools.h"

#include <algorithm>

namespace mq::app {

namespace {

MenuEntry menu(std::string_view name, std::string_view caption)
{
    return {{}, name, caption, {}, true};
}

MenuEntry sub(std::string_view parent, std::string_view name, std::string_view caption)
{
    return {parent, name, caption, {}, true};
}

MenuEntry item(std::string_view parent, std::string_view name, std::string_view caption,
               std::string_view shortcut = {})
{
    return {parent, name, caption, shortcut};
}

MenuEntry separator(std::string_view parent, std::string_view name)
{
    return {parent, name, "-"};
}

// The file tools' entries, in the order of their list, after the last entry
// of the Tools menu.
std::vector<MenuEntry> withFileTools(std::vector<MenuEntry> tree)
{
    auto at = std::find_if(tree.begin(), tree.end(), [](const MenuEntry& e) { return e.name == "mn_window"; });
    for (const tools::FileTool& tool : tools::file_tools())
        at = std::next(tree.insert(at, item("mn_tools", tool.menu_entry, tool.menu_caption)));
    return tree;
}

std::vector<MenuEntry> buildTree()
{
    return withFileTools({
        menu("mn_file", "&File"),
        item("mn_file", "mn_new", "&New", "Ctrl+N"),
        item("mn_file", "mn_open_file", "&Open File", "Ctrl+O"),
        item("mn_file", "mn_import", "Import File"),
        separator("mn_file", "mn_line45"),
        item("mn_file", "mn_save", "Save File ...", "Ctrl+S"),
        item("mn_file", "mn_save_as", "Save File as ..."),
        separator("mn_file", "mn_line_2"),
        item("mn_file", "mn_open_command", "Start a Command &Window", "Ctrl+W"),
        separator("mn_file", "mn_line333"),
        item("mn_file", "mn_print", "&Print", "Ctrl+P"),
        separator("mn_file", "mn_line1"),
        item("mn_file", "mn_1_1", "1:"),
        item("mn_file", "mn_2_2", "2:"),
        item("mn_file", "mn_3_3", "3:"),
        item("mn_file", "mn_4_4", "4:"),
        separator("mn_file", "mn_6"),
        item("mn_file", "mn_close", "&Quit", "Ctrl+Q"),

        menu("mn_edit", "&Edit"),
        item("mn_edit", "mn_undo", "Undo", "Ctrl+Z"),
        separator("mn_edit", "mn_line4"),
        item("mn_edit", "mn_cut", "Cut", "Ctrl+X"),
        item("mn_edit", "mn_copy", "Copy", "Ctrl+C"),
        item("mn_edit", "mn_paste", "Paste", "Ctrl+V"),
        item("mn_edit", "mn_mark_all", "Select All", "Ctrl+A"),
        separator("mn_edit", "mn_line5"),
        item("mn_edit", "mn_color", "Color"),
        item("mn_edit", "mn_font", "Font"),
        separator("mn_edit", "mn_line_find"),
        item("mn_edit", "mn_find", "Find...", "Ctrl+F"),
        item("mn_edit", "mn_find_next", "Find Next", "F3"),
        item("mn_edit", "mn_find_previous", "Find Previous", "Shift+F3"),
        item("mn_edit", "mn_replace_text", "Replace...", "Ctrl+H"),
        item("mn_edit", "mn_go_to_line", "Go to Line...", "Ctrl+G"),
        separator("mn_edit", "mn_line_highlighting"),
        item("mn_edit", "mn_syntax_highlighting", "Syntax highlighting"),

        menu("mn_grid", "&Grid"),
        item("mn_grid", "mn_blockmean", "blockmean"),
        item("mn_grid", "mn_surface", "surface"),
        item("mn_grid", "mn_triangulate", "triangulate"),
        item("mn_grid", "mn_nearneighbor", "nearneighbor"),
        item("mn_grid", "mn_grdcut", "grdcut"),
        item("mn_grid", "mn_grdsample", "grdsample"),
        item("mn_grid", "mn_grd2xyz", "grd2xyz"),
        item("mn_grid", "mn_grdtrack", "grdtrack"),
        item("mn_grid", "mn_grdmath", "grdmath"),
        item("mn_grid", "mn_sample1d", "sample1d"),
        separator("mn_grid", "mn_line10"),
        item("mn_grid", "mn_cut_grid", "Cut && clip && sample grid"),
        item("mn_grid", "mn_masked_grid", "Make masked grid"),
        item("mn_grid", "mn_illumination", "Illumination"),
        item("mn_grid", "mn_make_slope_file", "Make slope .grd file"),
        item("mn_grid", "mn_srtm2grid", "Convert SRTM to grid"),
        separator("mn_grid", "mn_line9"),
        sub("mn_grid", "mn_help_grid", "GMT Help"),
        item("mn_help_grid", "mn_help_blockmean", "blockmean"),
        item("mn_help_grid", "mn_help_surface", "surface"),
        item("mn_help_grid", "mn_help_grdcut", "grdcut"),
        item("mn_help_grid", "mn_grdsample_help", "grdsample"),
        item("mn_help_grid", "mn_grd2xyz_help", "grd2xyz"),
        item("mn_help_grid", "mn_grdtrack_help", "grdtrack"),
        item("mn_help_grid", "mn_grdmath_help", "grdmath"),
        item("mn_help_grid", "mn_sample1d_help", "sample1d"),

        menu("mn_map", "&Map"),
        item("mn_map", "mn_grdimage", "grdimage"),
        item("mn_map", "mn_grdcontour", "grdcontour"),
        item("mn_map", "mn_grdview", "grdview"),
        item("mn_map", "mn_pscoast", "pscoast"),
        separator("mn_map", "mn_line11"),
        sub("mn_map", "mn_gmt_help_map", "GMT Help"),
        item("mn_gmt_help_map", "mn_grdimage_help", "grdimage"),
        item("mn_gmt_help_map", "mn_grdcontour_help", "grdcontour"),
        item("mn_gmt_help_map", "mn_grdview_help", "grdview"),
        item("mn_gmt_help_map", "mn_pscoast_help", "pscoast"),

        menu("mn_color_gmt", "&Color"),
        item("mn_color_gmt", "mn_select_color", "Select Color"),
        separator("mn_color_gmt", "mn_line8"),
        item("mn_color_gmt", "mn_makecpt", "makecpt"),
        item("mn_color_gmt", "mn_grd2cpt", "grd2cpt"),
        item("mn_color_gmt", "mn_psscale", "psscale"),
        separator("mn_color_gmt", "mn_line12"),
        sub("mn_color_gmt", "mn_gmt_help_color", "GMT Help"),
        item("mn_gmt_help_color", "mn_makecpt_help", "makecpt"),
        item("mn_gmt_help_color", "mn_grd2cpt_help", "grd2cpt"),
        item("mn_gmt_help_color", "mn_psscale_help", "psscale"),

        menu("mn_text", "&Text / Plots"),
        item("mn_text", "mn_pstext", "pstext"),
        item("mn_text", "mn_psxy", "psxy"),
        item("mn_text", "mn_psxyz", "psxyz"),
        item("mn_text", "mn_psxy_value", "psxy (value)"),
        item("mn_text", "mn_psxyz_value", "psxyz (value)"),
        separator("mn_text", "mnline345"),
        item("mn_text", "mn_stations", "Plot stations && names"),
        separator("mn_text", "mn_line14"),
        sub("mn_text", "mn_gmt_help_text", "GMT Help"),
        item("mn_gmt_help_text", "mn_pstext_help", "pstext"),
        item("mn_gmt_help_text", "mn_psxy_help", "psxy"),
        item("mn_gmt_help_text", "mn_psxyz_help", "psxyz"),

        menu("mn_script", "&Script"),
        item("mn_script", "mn_gmt_defaults", "*gmtdefaults settings"),
        separator("mn_script", "mn7u8"),
        item("mn_script", "mn_rem", "&REM", "Ctrl+R"),
        item("mn_script", "mn_echo", "&echo *", "Ctrl+E"),
        item("mn_script", "mn_stars", "&********"),
        separator("mn_script", "mn_line13"),
        item("mn_script", "mn_script_header", "Script header"),
        item("mn_script", "mn_gmt_settings", "GMT settings"),
        item("mn_script", "mn_set_variables", "Set variables"),
        item("mn_script", "mn_script_end", "Script end"),
        item("mn_script", "mn_date_time", "Date && Time"),
        separator("mn_script", "mn_line_run"),
        item("mn_script", "mn_run_script", "Run script", "F5"),
        item("mn_script", "mn_next_message", "Next message", "F8"),
        item("mn_script", "mn_previous_message", "Previous message", "Shift+F8"),
        item("mn_script", "mn_module_help", "GMT help for the module", "F1"),
        item("mn_script", "mn_gmt_folder", "GMT folder ..."),
        item("mn_script", "mn_gmt6_check", "Check for GMT 6"),
        item("mn_script", "mn_gmt6_mend_all", "Mend all for GMT 6"),

        menu("mn_tools", "&Tools"),
        item("mn_tools", "mn_gmtconvert", "gmtconvert (binary2ascii)"),
        separator("mn_tools", "mn_loi"),
        item("mn_tools", "mn_lat_lon_conv", "Lat-Lon converter"),
        item("mn_tools", "mn_gridding_step_tool", "Gridding step tool"),
        separator("mn_tools", "mn_gjhz"),
        // The file tools follow, from their list (withFileTools).

        menu("mn_window", "&Window"),
        item("mn_window", "mn_horizontal", "Tile &Horizontally"),
        item("mn_window", "mn_vertical", "Tile &Vertically"),
        item("mn_window", "mn_cascade", "Cascade"),
        item("mn_window", "mn_icons", "Arrange &Icons"),

        menu("mn_about", "&About"),
        item("mn_about", "mn_help", "Help && Info"),
        separator("mn_about", "mn_line6"),
        sub("mn_about", "mn_gmt_online_open", "GMT html (help)"),
        item("mn_gmt_online_open", "mn_gmt_online_help", "GMT online help"),
        item("mn_gmt_online_open", "mn_set_gmt_html_path", "Set path to GMT html folder"),
        separator("mn_about", "mn_line7"),
        item("mn_about", "mn_aboutabout", "About"),
    });
}

}  // namespace

const std::vector<MenuEntry>& menuTree()
{
    static const std::vector<MenuEntry> tree = buildTree();
    return tree;
}

}  // namespace mq::app
