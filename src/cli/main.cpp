// mapquill-tools: the data operations of Mapquill from the command line.
//   mapquill-tools <tool> [arguments]     mapquill-tools <tool> --help
#include "cli/tool.h"

#include <iostream>

int main(int argc, char** argv) {
    mq::cli::prepare_output();
    mq::cli::remove_outputs_on_interrupt();
    const std::vector<std::string> args = mq::cli::command_line_arguments(argc, argv);
    const std::vector<std::string_view> views(args.begin(), args.end());
    const int code =
        mq::cli::finish_output(std::cout, std::cerr, mq::cli::run_tools(views, std::cout, std::cerr));
    if (mq::cli::interrupted()) mq::cli::end_by_interrupt();
    return code;
}
