// The portable time conversions agree with the system's own.
#include <gtest/gtest.h>

#include <windows.h>

#include "payload/DosTime.h"

namespace {

uint64_t Ticks(const FILETIME& ft) { return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; }

struct DosStamp {
    WORD date, time;
};

class ZipDosTimeTest : public testing::TestWithParam<DosStamp> {};

TEST_P(ZipDosTimeTest, AgreesWithDosDateTimeToFileTime) {
    FILETIME system{};
    const BOOL valid = DosDateTimeToFileTime(GetParam().date, GetParam().time, &system);
    const auto portable = payload::FileTimeFromDos(GetParam().date, GetParam().time);
    ASSERT_EQ(portable.has_value(), valid != FALSE);
    if (portable) {
        EXPECT_EQ(portable->ticks, Ticks(system));
    }
}

constexpr WORD Date(int year, int month, int day) { return static_cast<WORD>((year - 1980) << 9 | month << 5 | day); }
constexpr WORD Time(int hour, int minute, int second) { return static_cast<WORD>(hour << 11 | minute << 5 | second / 2); }

INSTANTIATE_TEST_SUITE_P(Stamps, ZipDosTimeTest, testing::Values(
    DosStamp{Date(1980, 1, 1), Time(0, 0, 0)}, DosStamp{Date(2107, 12, 31), Time(23, 59, 58)},
    DosStamp{Date(2000, 2, 29), Time(12, 34, 56)}, DosStamp{Date(2021, 6, 15), Time(1, 2, 3)},
    DosStamp{Date(2038, 1, 19), Time(3, 14, 6)}, DosStamp{0, 0}, DosStamp{Date(2000, 13, 1), Time(0, 0, 0)},
    DosStamp{Date(2000, 4, 31), Time(0, 0, 0)}, DosStamp{Date(2000, 5, 5), Time(24, 0, 0)},
    DosStamp{Date(2000, 5, 5), Time(1, 60, 0)}, DosStamp{Date(2000, 5, 5), Time(1, 1, 60)}));

struct UnixStamp {
    int32_t seconds;
    SYSTEMTIME utc;  // year, month, day of week, day, hour, minute, second, milliseconds
};

class ZipUnixTimeTest : public testing::TestWithParam<UnixStamp> {};

TEST_P(ZipUnixTimeTest, AgreesWithSystemTimeToFileTime) {
    FILETIME system{};
    ASSERT_TRUE(SystemTimeToFileTime(&GetParam().utc, &system));
    EXPECT_EQ(payload::FileTimeFromUnixSeconds(GetParam().seconds).ticks, Ticks(system));
}

INSTANTIATE_TEST_SUITE_P(Seconds, ZipUnixTimeTest, testing::Values(
    UnixStamp{0, {1970, 1, 4, 1, 0, 0, 0, 0}}, UnixStamp{-1, {1969, 12, 3, 31, 23, 59, 59, 0}},
    UnixStamp{951827696, {2000, 2, 2, 29, 12, 34, 56, 0}}, UnixStamp{INT32_MAX, {2038, 1, 2, 19, 3, 14, 7, 0}},
    UnixStamp{INT32_MIN, {1901, 12, 5, 13, 20, 45, 52, 0}}));

}  // namespace
