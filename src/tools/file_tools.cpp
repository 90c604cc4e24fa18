#include "tools/file_tools.h"

#include <array>

namespace mq::tools {

namespace {

#define MQ_FILE_TOOL_ROW(id, name, summary, entry, caption, Window) FileTool{name, summary, entry, caption, #Window},
constexpr std::array kFileTools = {MQ_FILE_TOOLS(MQ_FILE_TOOL_ROW)};
#undef MQ_FILE_TOOL_ROW

}  // namespace

std::span<const FileTool> file_tools() { return kFileTools; }

}  // namespace mq::tools
