#include "core/DateTime.h"

#include <cmath>
#include <cstdint>

namespace kv58 {
namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (Howard Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CalendarDate civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

// 1899-12-30, day 0 of TDateTime, counted from 1970-01-01.
constexpr std::int64_t kEpochOffset = -25569;

constexpr std::int64_t kMsPerDay = 86'400'000;

} // namespace

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

std::optional<TDateTime> encodeDate(int year, int month, int day)
{
    if (!isValidDate(year, month, day))
        return std::nullopt;
    return static_cast<TDateTime>(
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset);
}

std::optional<TDateTime> encodeTime(int hour, int minute, int second, int msec)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 ||
        msec > 999)
        return std::nullopt;
    const std::int64_t ms = ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + msec;
    return static_cast<TDateTime>(ms) / static_cast<TDateTime>(kMsPerDay);
}

namespace {
// Whole milliseconds since day 0, rounded, so that 10:15:30 stored as a fraction comes back exactly.
std::int64_t totalMs(TDateTime t)
{
    return static_cast<std::int64_t>(std::llround(t * static_cast<double>(kMsPerDay)));
}
std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}
} // namespace

CalendarDate decodeDate(TDateTime t)
{
    return civilFromDays(floorDiv(totalMs(t), kMsPerDay) + kEpochOffset);
}

TimeOfDay decodeTime(TDateTime t)
{
    const std::int64_t ms = totalMs(t) - floorDiv(totalMs(t), kMsPerDay) * kMsPerDay;
    return {static_cast<int>(ms / 3'600'000), static_cast<int>(ms / 60'000 % 60),
            static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000)};
}

int dayOfWeek(TDateTime t)
{
    // Day 0 (1899-12-30) was a Saturday.
    const std::int64_t days = floorDiv(totalMs(t), kMsPerDay);
    return static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
}

} // namespace kv58
