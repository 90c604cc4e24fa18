#include "common/result.h"

namespace mq {

int error_number(ErrorKind kind)
{
    switch (kind) {
    case ErrorKind::type_mismatch: return 13;
    case ErrorKind::file_not_found: return 53;
    case ErrorKind::past_end: return 62;
    case ErrorKind::access: break;
    }
    return 75;
}

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

std::string error_box_text(const Error& error)
{
    return std::to_string(error_number(error.kind)) + "  " + error.text();
}

}  // namespace mq
