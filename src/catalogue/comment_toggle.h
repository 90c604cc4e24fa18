// The Script > REM command: comments the selected lines out with "REM " or
// takes the "REM " marks away again.
#pragma once

#include <string>
#include <string_view>

namespace mq::catalogue {

// The text that replaces the selection:
//  - nothing selected: "REM ";
//  - the selection holds "REM" anywhere (letter case counts): the selection
//    with every "REM " removed, wherever it stands;
//  - otherwise: "REM " in front of the selection and after each CR LF in it,
//    except after a CR LF that ends the selection.
std::string toggle_rem(std::string_view selection);

}  // namespace mq::catalogue
