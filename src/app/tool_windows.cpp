#include "app/tool_windows.h"

#include "app/frmstart.h"
#include "app/mdiform1.h"
#include "calc/ui/grid_space_calc.h"
#include "calc/ui/lat_lon_conv.h"

namespace mq::app {

void registerToolWindows(MDIForm1& main)
{
    main.registerWindow(QStringLiteral("frm_help"), [](platform::Services&) { return new frm_help; });
    main.registerWindow(QStringLiteral("lat_lon_conv"),
                        [](platform::Services& services) { return new lat_lon_conv(services); });
    main.registerWindow(QStringLiteral("grid_space_calc"),
                        [](platform::Services& services) { return new grid_space_calc(services); });
}

}  // namespace mq::app
