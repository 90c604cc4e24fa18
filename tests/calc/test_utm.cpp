// The UTM routines, the coordinate reader and the degrees-and-minutes writer.
// (Their agreement with PROJ is in test_proj_agreement.cpp.)
#include "calc/coordinate_text.h"
#include "calc/utm_conversion.h"
#include "common/number_rules.h"

#include <doctest/doctest.h>

#include <cmath>
#include <string>

using mq::calc::UtmState;

TEST_CASE("latlon_to_utm: zones, exceptions and the false northing")
{
    struct Row {
        double lon, lat;
        const char* expected;   // full text, or the "zone:" prefix when it ends in ":"
    };
    const Row rows[] = {
        {9, 50, "32:500000:5538630.703"},  {9, -50, "32:500000:4461369.297"}, {0, 0, "31:166021.443:0"},
        {190, 10, "2:"},                   {180, 10, "1:"},                   {-180, 10, "1:"},
        {5, 60, "32:"},                    {5, 64, "31:"},                    {12, 60, "33:"},
        {10, 78, "32:"},                   {9, 90, "32:500000:9997964.943"},   // the pole is a place
    };
    for (const Row& row : rows) {
        CAPTURE(row.lon);
        CAPTURE(row.lat);
        const auto text = mq::calc::latlon_to_utm(row.lon, row.lat);
        REQUIRE(text.ok());
        const std::string expected = row.expected;
        if (expected.back() == ':')
            CHECK(text.value().substr(0, expected.size()) == expected);
        else
            CHECK(text.value() == expected);
    }
    CHECK(mq::calc::latlon_to_utm(190, 10).value() == mq::calc::latlon_to_utm(-170, 10).value());
}

TEST_CASE("utm_to_latlon: only \"N\" is north")
{
    struct Row {
        const char* hemisphere;
        double northing, lat;
    };
    const Row rows[] = {{"N", 5538630.703, 50}, {"S", 4461369.297, -50}, {"n", 4461369.297, -50}, {"", 4461369.297, -50}};
    for (const Row& row : rows) {
        CAPTURE(row.hemisphere);
        const auto text = mq::calc::utm_to_latlon(500000, row.northing, UtmState{32, row.hemisphere});
        REQUIRE(text.ok());
        const std::string& t = text.value();
        const auto colon = t.find(':');
        REQUIRE(colon != std::string::npos);
        CHECK(t.substr(0, colon) == "9");   // longitude first
        CHECK(std::fabs(mq::numbers::read_number(t.substr(colon + 1)).value() - row.lat) < 1e-8);
    }
}

TEST_CASE("UTM round trip")
{
    for (double lat : {-79.5, -33.9, -0.001, 0.5, 45.25, 83.9})
        for (double offset : {-2.9, -0.4, 0.0, 1.7, 2.9}) {
            const double lon = 9 + offset;
            CAPTURE(lon);
            CAPTURE(lat);
            const auto p = mq::calc::latlon_to_utm_position(lon, lat);
            REQUIRE(p.ok());
            const UtmState state{static_cast<std::int16_t>(p->zone), lat < 0 ? "S" : "N"};
            const auto back = mq::calc::utm_to_lonlat(p->easting, p->northing, state);
            REQUIRE(back.ok());
            CHECK(std::fabs(back->longitude - lon) < 1e-6);
            CHECK(std::fabs(back->latitude - lat) < 1e-6);
        }
}

TEST_CASE("utm_central_meridian stays within 16 bits; the inverse takes zones 1 to 60")
{
    const int overflow = -99999;
    const std::pair<int, int> rows[] = {{0, -183},       {61, 183},         {1, -177},
                                        {60, 177},       {5462, 32589},     {5463, overflow},
                                        {-5430, -32763}, {-5431, overflow}, {32767, overflow}};
    for (const auto& [zone, meridian] : rows) {
        CAPTURE(zone);
        const auto m = mq::calc::utm_central_meridian(zone);
        if (meridian == overflow) {
            CHECK(!m.ok());
        } else {
            REQUIRE(m.ok());
            CHECK(m.value() == meridian);
        }
        const auto inverse =
            mq::calc::utm_to_latlon(500000, 0, UtmState{static_cast<std::int16_t>(zone), "N"});
        CHECK(inverse.ok() == (zone >= 1 && zone <= 60));
        if (!inverse.ok())
            CHECK(inverse.error().message == "zone " + std::to_string(zone) +
                                                 " does not exist: UTM zones are whole numbers from 1 to 60");
    }
}

TEST_CASE("coord_to_decimal: the sign of the degrees makes the whole value negative")
{
    const double bad = std::nan("");
    const std::pair<const char*, double> rows[] = {
        {"12:30", 12.5},     {"-12:30", -12.5}, {"-0:30", -0.5}, {" -10:30", -10.5}, {"-33:54:00", -33.9},
        {"10:30:36", 10.51}, {"45.5", 45.5},    {"1:30:0:99", 1.5},
        {"", bad},           {"ab", bad},       {"12:", bad},    {"10::30", bad},    {"1.2.3", bad},
        {"10,5", bad},       {"10:-30", bad},   {"10: +30", bad}, {"1e400", bad},
    };
    for (const auto& [text, value] : rows) {
        CAPTURE(text);
        const auto r = mq::calc::coord_to_decimal(text);
        if (std::isnan(value)) {
            REQUIRE(!r.ok());
            CHECK(r.error().message.find(std::string("'") + text + "'") != std::string::npos);
        } else {
            REQUIRE(r.ok());
            CHECK(std::fabs(r.value() - value) < 1e-12);
        }
    }
}

TEST_CASE("dec2degmm: degrees and decimal minutes")
{
    const std::pair<const char*, const char*> rows[] = {
        {"9.5", "9:30.000000"},     {"9.05", "9:03.000000"},           {"-33.9", "-33:54.000000"},
        {"-0.5", "-0:30.000000"},   {"9.99999999999", "10:00.000000"}, {"1.5E-07", "0:00.000009"},
        {"-1E-12", "0:00.000000"},  {"x", ""},                         {"-0", "0:00.000000"},
        {"1E+20", "1E+20:00.000000"}, {"-4503599627370495.5", "-4.5035996273705E+15:30.000000"},
    };
    for (const auto& [text, expected] : rows) {
        CAPTURE(text);
        const auto r = mq::calc::dec2degmm(std::string_view(text));
        if (*expected == 0)
            CHECK(!r);
        else
            CHECK(r.value() == expected);
    }
}

// The allocation-free writer against the shared rules it stands for: the
// minutes formatted with "00.000000", the angle read back from its general
// text. Values on and near the halves of the sixth decimal included.
TEST_CASE("dec2degmm follows the number rules")
{
    std::uint64_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (int i = 0; i < 50000; ++i) {
        double degrees = (next() - 0.5) * 360;
        if (i % 3 == 0) degrees = std::trunc(degrees) + (std::round(next() * 6e7) + 0.5) / 1e6 / 60;
        const double read_back = mq::calc::through_general_text(degrees);
        REQUIRE(read_back == mq::numbers::read_number(mq::numbers::general_text(degrees)).value());
        const double magnitude = std::fabs(read_back);
        double whole = std::floor(magnitude);
        std::string minutes = mq::numbers::format_pattern((magnitude - whole) * 60, "00.000000");
        if (minutes == "60.000000") {
            whole += 1;
            minutes = "00.000000";
        }
        const bool sign = read_back < 0 && (whole > 0 || minutes != "00.000000");
        const std::string expected = (sign ? "-" : "") + mq::numbers::general_text(whole) + ":" + minutes;
        REQUIRE(mq::calc::dec2degmm(read_back).value() == expected);
    }
}
