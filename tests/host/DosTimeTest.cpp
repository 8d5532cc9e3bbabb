// DOS date and time, and Unix seconds, as file times (100-ns ticks since 1601, UTC).
#include <gtest/gtest.h>

#include <optional>

#include "payload/DosTime.h"
#include "ZipTestArchive.h"

namespace {

struct DosCase {
    const char* what;
    uint32_t dosDateTime;
    std::optional<uint64_t> ticks;  // empty: not a valid date or time
};

void PrintTo(const DosCase& c, std::ostream* os) { *os << c.what; }

class DosTimeTest : public testing::TestWithParam<DosCase> {};

TEST_P(DosTimeTest, ConvertsExactlyOrNotAtAll) {
    const DosCase& c = GetParam();
    const auto time = payload::FileTimeFromDos(static_cast<uint16_t>(c.dosDateTime >> 16),
                                               static_cast<uint16_t>(c.dosDateTime & 0xFFFF));
    ASSERT_EQ(time.has_value(), c.ticks.has_value());
    if (time) {
        EXPECT_EQ(time->ticks, *c.ticks);
    }
}

using ziptest::DosDateTime;

INSTANTIATE_TEST_SUITE_P(Fields, DosTimeTest, testing::Values(
    DosCase{"first DOS day", DosDateTime(1980, 1, 1, 0, 0, 0), 119600064000000000},
    DosCase{"last DOS second", DosDateTime(2107, 12, 31, 23, 59, 58), 159992927980000000},
    DosCase{"leap day", DosDateTime(2000, 2, 29, 12, 34, 56), 125963012960000000},
    DosCase{"ordinary", DosDateTime(2021, 6, 15, 12, 34, 56), 132682340960000000},
    DosCase{"odd second rounds down", DosDateTime(1999, 12, 31, 23, 59, 59), 125911583980000000},
    DosCase{"all zero", 0, std::nullopt},
    DosCase{"month 0", DosDateTime(2000, 0, 10, 0, 0, 0), std::nullopt},
    DosCase{"month 13", DosDateTime(2000, 13, 10, 0, 0, 0), std::nullopt},
    DosCase{"day 0", DosDateTime(2000, 5, 0, 0, 0, 0), std::nullopt},
    DosCase{"30 February", DosDateTime(2000, 2, 30, 0, 0, 0), std::nullopt},
    DosCase{"29 February of a common year", DosDateTime(2001, 2, 29, 0, 0, 0), std::nullopt},
    DosCase{"31 April", DosDateTime(2000, 4, 31, 0, 0, 0), std::nullopt},
    DosCase{"hour 24", DosDateTime(2000, 5, 5, 24, 0, 0), std::nullopt},
    DosCase{"minute 60", DosDateTime(2000, 5, 5, 1, 60, 0), std::nullopt},
    DosCase{"second 60", DosDateTime(2000, 5, 5, 1, 1, 60), std::nullopt}));

struct UnixCase {
    int32_t seconds;
    uint64_t ticks;
};

class UnixTimeTest : public testing::TestWithParam<UnixCase> {};

TEST_P(UnixTimeTest, ConvertsExactly) {
    EXPECT_EQ(payload::FileTimeFromUnixSeconds(GetParam().seconds).ticks, GetParam().ticks);
}

INSTANTIATE_TEST_SUITE_P(Seconds, UnixTimeTest, testing::Values(
    UnixCase{0, 116444736000000000},            // 1970-01-01 00:00:00
    UnixCase{-1, 116444735990000000},           // 1969-12-31 23:59:59
    UnixCase{951827696, 125963012960000000},    // 2000-02-29 12:34:56
    UnixCase{INT32_MAX, 137919572470000000},    // 2038-01-19 03:14:07
    UnixCase{INT32_MIN, 94969899520000000}));   // 1901-12-13 20:45:52

}  // namespace
