// Reading whole files and replacing them safely.
#pragma once

#include <string>
#include <string_view>

namespace mq::app {

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

    explicit operator bool() const { return ok; }
};

// Creates or replaces the file at `path` (UTF-8) with `bytes`, all or
// nothing: the bytes go to a new file in the same folder, are flushed to the
// disk, and only then is the new file renamed over the old one. If anything
// fails, the old file is left exactly as it was and the new file is removed.
//
// A file that already exists keeps its permission bits (and, where the
// process may set them, its owner and group). A symbolic link is followed, so
// the file it points to is replaced and the link stays. A file without the
// owner's write permission is not replaced ("the file is read-only"), even
// for a user the system would let write it.
WriteResult writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace mq::app
