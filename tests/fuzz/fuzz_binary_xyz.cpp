// The binary xyz reader: whole text lines, and the bytes left over reported.
#include "harness.h"
#include "tools/binary_xyz.h"

MQ_FUZZ_TARGET(bytes)
{
    const std::string in = mq::fuzz::input_file("in.bin", bytes);
    const auto r = mq::tools::convert_binary_xyz(in, mq::fuzz::file("out.txt"), {}, {});
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (r) check(r->records == size / 24 && r->left_over == size % 24);
}
