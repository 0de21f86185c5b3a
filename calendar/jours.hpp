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
constexpr std::int32_t jours_depuis_mars(const Date& g) noexcept {
  const std::int32_t a = g.mois <= 2 ? g.annee - 1 : g.annee;     // [-1000, 9999]
  const std::int32_t mp = g.mois <= 2 ? g.mois + 9 : g.mois - 3;  // [0, 11], March is 0
  const std::int32_t doy = (153 * mp + 2) / 5 + g.jour - 1;       // [0, 365]
  const std::int32_t n = 365 * a + division(a, 4) + doy;          // [-364944, 3652439]
  return a >= 1800 ? n - 1 : n;                                   // no 29 February 1800
}

// 22 September 1792, in the count from 1 March of year 0.
inline constexpr std::int32_t an_un = jours_depuis_mars({22, 9, 1792});

// The day number of a Gregorian date; preconditions as jours_depuis_mars.
constexpr std::int32_t jour_gregorien(const Date& g) noexcept {
  return jours_depuis_mars(g) - an_un;
}

// The Gregorian date of day number n, for the days of the years -999..9999.
constexpr Date date_gregorienne(std::int32_t n) noexcept {
  // 1 March 1800 and later: one more day in a count that had 29 February.
  const std::int32_t j = n + an_un;                                         // [-364944, 3652438]
  const std::int32_t u = j >= jours_depuis_mars({1, 3, 1800}) ? j + 1 : j;  // [-364944, 3652439]
  const std::int32_t a = division(4 * u + 3, 1461);                         // [-1000, 9999]
  const std::int32_t doy = u - (365 * a + division(a, 4));                  // [0, 365]
  const std::int32_t mp = (5 * doy + 2) / 153;                              // [0, 11]
  const std::int32_t d = doy - (153 * mp + 2) / 5 + 1;                      // [1, 31]
  const std::int32_t m = mp < 10 ? mp + 3 : mp - 9;                         // [1, 12]
  return {d, m, m <= 2 ? a + 1 : a};
}

// The Republican year y begins 365 (y - 1) + floor(y / 4) days after year 1,
// so the years 3, 7, 11, ... (and -1, -5, ...) have six complementary days.
// Preconditions: day in 1..30 (1..6 for month code 13), month code in
// 1..13, year in -2791..8208.
constexpr std::int32_t jour_republicain(const Date& r) noexcept {
  return 365 * (r.annee - 1) + division(r.annee, 4) + 30 * (r.mois - 1) + r.jour - 1;
}

// The Republican date of day number n, for the days of the years -2791..8208.
constexpr Date date_republicaine(std::int32_t n) noexcept {
  const std::int32_t y = division(4 * n + 2, 1461) + 1;           // [-2791, 8208]
  const std::int32_t doy = n - (365 * (y - 1) + division(y, 4));  // [0, 365]
  return {doy % 30 + 1, doy / 30 + 1, y};                         // [1, 30], [1, 13]
}

}  // namespace calendar
