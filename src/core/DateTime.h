// TDateTime: the system's point in time, a double counting days since 1899-12-30 00:00 local time;
// the fraction is the time of day. Conversions to and from calendar dates and times of day.
#pragma once

#include <optional>

namespace kv58 {

using TDateTime = double;

struct CalendarDate {
    int year = 1899;
    int month = 12;
    int day = 30;
    friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

bool isLeapYear(int year);
bool isValidDate(int year, int month, int day);
int daysInMonth(int year, int month);

// Day number of a valid calendar date (years 1 to 9999); nullopt for an invalid date.
std::optional<TDateTime> encodeDate(int year, int month, int day);
// Fraction of a day; nullopt unless 0 <= hour < 24, minute and second < 60, msec < 1000.
std::optional<TDateTime> encodeTime(int hour, int minute, int second, int msec = 0);

// Date part of a point in time (the whole days, counted towards minus infinity).
CalendarDate decodeDate(TDateTime t);
// Time of day of a point in time, to the nearest millisecond (never 24:00:00.000).
TimeOfDay decodeTime(TDateTime t);

// Weekday numbered 1 for Sunday up to 7 for Saturday.
int dayOfWeek(TDateTime t);

} // namespace kv58
