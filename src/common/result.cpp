#include "common/result.h"

namespace mq {

std::string Error::text() const
{
    std::string out = file;
    if (line > 0) {
        if (!out.empty()) out += ", ";
        out += "line " + std::to_string(line);
    }
    if (!out.empty()) out += ": ";
    out += message;
    if (!note.empty()) out += (out.ends_with('.') ? " " : ". ") + note;
    return out;
}

}  // namespace mq
