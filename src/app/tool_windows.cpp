#include "app/tool_windows.h"

#include "app/frmstart.h"
#include "app/mdiform1.h"

namespace mq::app {

void registerToolWindows(MDIForm1& main)
{
    main.registerWindow(QStringLiteral("frm_help"), [](platform::Services&) { return new frm_help; });
}

}  // namespace mq::app
