// One open script apart from the window that shows it: the name it is known
// under, whether that name is confirmed, whether the text changed since it
// was read or saved, and how it is stored on disk (encoding, line ends and,
// where needed, the bytes it was read from).
#pragma once

#include "app/core/script_codec.h"

#include <string>
#include <string_view>

namespace mq::app {

class ScriptDocument {
public:
    // The name: "Script" for a new document, otherwise the file's full path.
    const std::string& path() const { return path_; }
    // No confirmed file name yet: saving asks for one.
    bool isUnconfirmed() const { return unconfirmed_; }
    bool isModified() const { return modified_; }

    // The caption of its window: the name with its two marks, a leading "'"
    // (unconfirmed) and a trailing "*" (modified).
    std::string caption() const;
    // Name and marks from a caption; the name itself is kept apart, so a
    // path holding "'" or "*" stays as it is.
    void setCaption(std::string_view caption);
    // Now known under `path`, unchanged since read or saved.
    void setPath(std::string path, bool unconfirmed);
    // Returns whether the mark changed.
    bool setModified(bool modified);

    // Takes the format of a file's bytes and returns their text, decoded
    // without loss.
    std::u16string load(std::string_view bytes);
    // The bytes to write for `text`, in the encoding and line-end convention
    // the document was read with (or the new-document default); markSaved
    // once they are safely on disk.
    EncodedScript encode(std::u16string_view text) const { return stored_.encode(text); }
    void markSaved(const EncodedScript& saved) { stored_.markSaved(saved); }
    const TextFormat& format() const { return stored_.format(); }

private:
    std::string path_;
    bool unconfirmed_ = false;
    bool modified_ = false;
    LoadedScript stored_;
};

}  // namespace mq::app
