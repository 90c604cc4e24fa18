// Registers every window the menus and toolbar can show.
#pragma once

namespace mq::app {

class MDIForm1;

void registerToolWindows(MDIForm1& main);

}  // namespace mq::app
