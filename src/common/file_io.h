// Reading whole files and replacing them safely.
#pragma once

#include "common/result.h"

#include <string>
#include <string_view>

namespace mq::io {

// Reads the whole file at `path` (UTF-8). Only regular files are read: a
// folder, a pipe or a device fails instead of blocking or returning nonsense.
// The Error's message is the reason ("Permission denied"); a file or folder
// that does not exist is ErrorKind::file_not_found.
Result<std::string> readWholeFile(const std::string& path);

// Creates or replaces the file at `path` (UTF-8) with `bytes` without ever
// losing the old contents, through the one safe writer (io::OutputFile, see
// there for when the file is replaced and when it is written in place).
// A file without the owner's write permission is not replaced ("the file is
// read-only"), even for a user the system would let write it.
//
// The Error's message is the bare reason; its note says what became of the
// file that was there: "The old file is unchanged.", or, when a write in
// place failed and its old contents could not be put back, "Its old contents
// are kept in BACKUP."
Status writeFileSafely(const std::string& path, std::string_view bytes);

// Why Windows would not take the last part of `path` (UTF-8, "/" or "\\"
// between folders) as a file name: one of * ? " < > | : or a control
// character, a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an
// extension, as "nul.txt"), or a name ending in a dot or a blank. Empty when
// it would. writeFileSafely and the file tools ask it before writing on
// Windows; elsewhere such names are ordinary.
std::string windowsNameProblem(std::string_view path);

}  // namespace mq::io
