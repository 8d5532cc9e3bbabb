#include "payload/DosTime.h"

namespace payload {

namespace {

constexpr int64_t TicksPerSecond = 10'000'000;
constexpr int64_t SecondsPerDay = 86'400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t UnixEpochSeconds = 11'644'473'600;

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
int64_t daysFromCivil(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

platform::FileTime fromSecondsSince1601(int64_t seconds) {
    return platform::FileTime{static_cast<uint64_t>(seconds * TicksPerSecond)};
}

}  // namespace

std::optional<platform::FileTime> FileTimeFromDos(uint16_t dosDate, uint16_t dosTime) {
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    const int64_t seconds = daysFromCivil(year, month, day) * SecondsPerDay + hour * 3600 + minute * 60 + second;
    return fromSecondsSince1601(seconds + UnixEpochSeconds);
}

platform::FileTime FileTimeFromUnixSeconds(int32_t seconds) {
    return fromSecondsSince1601(static_cast<int64_t>(seconds) + UnixEpochSeconds);
}

}  // namespace payload
