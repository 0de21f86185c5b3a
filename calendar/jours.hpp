// One serial day count for both calendars: day 0 is 1 Vendémiaire of year 1,
// 22 September 1792. Every conversion is worked out through it, one formula a
// step; batchrevo's table, filled from it at compile time, is then looked up
// by the Gregorian date itself.
#pragma once

#include <cstdint>

namespace calendar {

// A date of either calendar: day, month (or Republican month code), year.
struct Date {
  std::int32_t jour, mois, annee;
};

// a / b rounded down, for b > 0: -1 / 4 is -1, not 0.
constexpr std::int32_t division(std::int32_t a, std::int32_t b) noexcept {
  return a / b - (a % b < 0 ? 1 : 0);
}

// The Gregorian side keeps the calendar the programs have always used: every
// year divisible by 4 is a leap year but 1800, so 1900 is one too. Counted
// from 1 March of year 0, so that the leap day ends a year of the count.
// Preconditions: a date of the years -999..9999 with that rule.
constexpr std::int32_t jours_depuis_mars(std::int32_t y, std::int32_t m, std::int32_t d) noexcept {
  const std::int32_t a = m <= 2 ? y - 1 : y;              // [-1000, 9999]
  const std::int32_t mp = m <= 2 ? m + 9 : m - 3;         // [0, 11], March is 0
  const std::int32_t doy = (153 * mp + 2) / 5 + d - 1;    // [0, 365]
  const std::int32_t n = 365 * a + division(a, 4) + doy;  // [-364944, 3652439]
  return a >= 1800 ? n - 1 : n;                           // no 29 February 1800
}

// 22 September 1792, in the count from 1 March of year 0.
inline constexpr std::int32_t an_un = jours_depuis_mars(1792, 9, 22);

// The day number of a Gregorian date; preconditions as jours_depuis_mars.
constexpr std::int32_t jour_gregorien(std::int32_t y, std::int32_t m, std::int32_t d) noexcept {
  return jours_depuis_mars(y, m, d) - an_un;
}

// The Gregorian date of day number n, for the days of the years -999..9999.
constexpr Date date_gregorienne(std::int32_t n) noexcept {
  // 1 March 1800 and later: one more day in a count that had 29 February.
  const std::int32_t j = n + an_un;                                       // [-364944, 3652438]
  const std::int32_t u = j >= jours_depuis_mars(1800, 3, 1) ? j + 1 : j;  // [-364944, 3652439]
  const std::int32_t a = division(4 * u + 3, 1461);                       // [-1000, 9999]
  const std::int32_t doy = u - (365 * a + division(a, 4));                // [0, 365]
  const std::int32_t mp = (5 * doy + 2) / 153;                            // [0, 11]
  const std::int32_t d = doy - (153 * mp + 2) / 5 + 1;                    // [1, 31]
  const std::int32_t m = mp < 10 ? mp + 3 : mp - 9;                       // [1, 12]
  return {d, m, m <= 2 ? a + 1 : a};
}

// The Republican year y begins 365 (y - 1) + floor(y / 4) days after year 1,
// so the years 3, 7, 11, ... (and -1, -5, ...) have six complementary days.
// Preconditions: d in 1..30 (1..6 for month code 13), m in 1..13, y in
// -2791..8208.
constexpr std::int32_t jour_republicain(std::int32_t y, std::int32_t m, std::int32_t d) noexcept {
  return 365 * (y - 1) + division(y, 4) + 30 * (m - 1) + d - 1;
}

// The Republican date of day number n, for the days of the years -2791..8208.
constexpr Date date_republicaine(std::int32_t n) noexcept {
  const std::int32_t y = division(4 * n + 2, 1461) + 1;           // [-2791, 8208]
  const std::int32_t doy = n - (365 * (y - 1) + division(y, 4));  // [0, 365]
  return {doy % 30 + 1, doy / 30 + 1, y};                         // [1, 30], [1, 13]
}

}  // namespace calendar
