#include "app/tool_windows.h"

#include "app/frmstart.h"
#include "calc/ui/grid_space_calc.h"
#include "calc/ui/lat_lon_conv.h"
#include "tools/ui/frm_binary2ascii.h"
#include "tools/ui/frm_srtm.h"
#include "tools/ui/frm_track_calc.h"

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
        {"mn_binary2ascii", "frm_SRTM", "", [](const ToolContext& c) { return new frm_SRTM(c); }},
        {"mn_bin_to_ascii", "frm_binary2ascii", "", [](const ToolContext& c) { return new frm_binary2ascii(c); }},
        {"mn_calc_pos_track", "frm_track_calc", "", [](const ToolContext& c) { return new frm_track_calc(c); }},
    };
    return table;
}

}  // namespace mq::app
