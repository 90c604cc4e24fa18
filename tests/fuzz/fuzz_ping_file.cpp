// A ping file (beam width and spacing from bytes 0-1): whole records of value 1, as many as counted.
// The stop query ends a run early, so that a deep ping cannot fill the disk.
#include "harness.h"
#include "tools/footprint.h"

#include <cstring>

MQ_FUZZ_TARGET(input)
{
    if (input.size() < 2) return;
    const std::string in = mq::fuzz::input_file("in.txt", std::string_view(input).substr(2));
    const double beam = std::uint8_t(input[0]) % 16;     // 0 .. 15 degrees
    const double spacing = std::uint8_t(input[1]) % 17;  // 0 (refused) .. 16 m
    const mq::tools::GeoBox box{-90, 90, -180, 180};
    int asked = 0;
    const auto r = mq::tools::calc_footprint_file(in, mq::fuzz::file("out.bin"), box, beam, spacing, {},
                                                  [&asked] { return ++asked > 256; });
    check(!r || (r->distinct_points <= r->records && r->records % 4 == 0));
    const std::string bytes = mq::fuzz::take_output(mq::fuzz::file("out.bin"));
    check(bytes.size() % 96 == 0 && (!r || static_cast<std::int64_t>(bytes.size()) == r->records * 24));
    for (std::size_t at = 16; at < bytes.size(); at += 24) {
        double value;
        std::memcpy(&value, bytes.data() + at, sizeof value);
        check(value == 1.0);
    }
}
