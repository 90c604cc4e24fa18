#include "app/tool_windows.h"

#include "app/frmstart.h"
#include "calc/ui/grid_space_calc.h"
#include "calc/ui/lat_lon_conv.h"
#include "app/mdiform1.h"
#include "catalogue/ui/form_color.h"
#include "catalogue/ui/frm_gmt_def.h"
#include "calc/ui/frm_swiss.h"
#include "tools/ui/frm_replace.h"
#include "calc/ui/frm_UTM_LL.h"
#include "tools/ui/frm_footprint.h"
#include "tools/ui/frm_binary2ascii.h"
#include "tools/ui/frm_srtm.h"
#include "tools/ui/frm_track_calc.h"
#include "tools/file_tools.h"

namespace mq::app {

const std::vector<ToolWindowEntry>& toolWindowTable()
{
    using tools::ToolContext;
    static const std::vector<ToolWindowEntry> table = {
        {"mn_lat_lon_conv", "lat_lon_conv", "Lat_Lon",
         [](const ToolContext& c) { return new lat_lon_conv(c.services); }},
        {"mn_gridding_step_tool", "grid_space_calc", "",
         [](const ToolContext& c) { return new grid_space_calc(c.services); }},
        {"mn_help", "frm_help", "", [](const ToolContext&) { return new frm_help; }},
        {"mn_select_color", "Form_color", "Color",
         [](const ToolContext& c) {
             // The mixer's "Make cpt" offers its table to the active editor.
             auto* main = qobject_cast<MDIForm1*>(c.owner);
             catalogue::ui::EditorLink editor;
             if (main) {
                 editor.available = [main] { return main->activeEditor() != nullptr; };
                 editor.insert = [main](const QString& text) { return main->InsertAtCaret(text); };
             }
             return new Form_color(c, editor);
         }},
        {"mn_gmt_defaults", "frm_gmt_def", "", [](const ToolContext& c) { return new frm_gmt_def(c); }},
    // The file tools' windows, from their list.
#define MQ_WINDOW_ROW(id, name, summary, entry, caption, Window) \
    {entry, #Window, "", [](const ToolContext& c) -> QWidget* { return new Window(c); }},
        MQ_FILE_TOOLS(MQ_WINDOW_ROW)
#undef MQ_WINDOW_ROW
    };
    return table;
}

}  // namespace mq::app
