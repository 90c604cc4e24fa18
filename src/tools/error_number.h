// The number shown before a file tool's error message ("53  in.bin: cannot
// open the file: ..."), in the numbering users of the tools know from their
// message boxes: 13 a value that is not a number, 53 a file that cannot be
// opened, 62 a file that ends too early, 75 a path that cannot be written.
#pragma once

#include "common/result.h"

#include <string>

namespace mq::tools {

int error_number(const Error& error);

// "<number>  <what went wrong>" as the error box shows it.
std::string error_box_text(const Error& error);

}  // namespace mq::tools
