#include "tools/error_number.h"

namespace mq::tools {

int error_number(const Error& error)
{
    const std::string& m = error.message;
    auto has = [&m](const char* part) { return m.find(part) != std::string::npos; };
    if (has("not a number") || has("not a whole number") || has("must be at least") || has("must be at most"))
        return 13;
    if (has("cannot open")) return 53;
    if (has("the tile has") || has("ended early")) return 62;
    return 75;
}

std::string error_box_text(const Error& error)
{
    return std::to_string(error_number(error)) + "  " + error.text();
}

}  // namespace mq::tools
