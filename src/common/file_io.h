// Reading whole files and replacing them safely.
#pragma once

#include <string>
#include <string_view>

namespace mq::io {

enum class ReadErrorKind {
    None,
    NotFound,  // the file (or a folder on its path) does not exist
    Other,
};

struct ReadResult {
    bool ok = false;
    std::string bytes;
    ReadErrorKind errorKind = ReadErrorKind::None;
    std::string reason;  // why reading failed, e.g. "Permission denied"
};

// Reads the whole file at `path` (UTF-8). Only regular files are read: a
// folder, a pipe or a device fails instead of blocking or returning nonsense.
ReadResult readWholeFile(const std::string& path);

struct WriteResult {
    bool ok = false;
    std::string reason;  // why writing failed; empty on success
    // What became of the file that was there before, when writing failed.
    bool hadOldFile = false;
    bool oldFileUnchanged = true;
    std::string backupPath;  // its old bytes, when they could not be put back

    explicit operator bool() const { return ok; }
};

// Creates or replaces the file at `path` (UTF-8) with `bytes` without ever
// losing the old contents.
//
// Where it is safe, all or nothing: the bytes go to a new file in the same
// folder, are flushed to the disk, and only then is the new file renamed over
// the old one. The rename would give the file a new identity, so an existing
// file is instead written in place when the folder does not allow new files,
// the file has more than one (hard) link, or its owner, group or permission
// bits could not be given to the new file. Before writing in place the old
// bytes are copied to a backup (next to the file, or in the temporary
// folder), which is removed on success; a failed write puts them back.
//
// A symbolic link is followed, so the file it points to is replaced and the
// link stays. A file without the owner's write permission is not replaced
// ("the file is read-only"), even for a user the system would let write it.
WriteResult writeFileSafely(const std::string& path, std::string_view bytes);

// Why Windows would not take the last part of `path` (UTF-8, "/" or "\\"
// between folders) as a file name: one of * ? " < > | : or a control
// character, a device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an
// extension, as "nul.txt"), or a name ending in a dot or a blank. Empty when
// it would. writeFileSafely and the file tools ask it before writing on
// Windows; elsewhere such names are ordinary.
std::string windowsNameProblem(std::string_view path);

}  // namespace mq::io
