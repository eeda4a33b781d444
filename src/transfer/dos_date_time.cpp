#include "transfer/dos_date_time.h"

namespace {

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

}  // namespace

std::optional<LocalDateTime> DecodeDosDateTime(std::uint32_t date_time) {
  LocalDateTime t;
  t.year = 1980 + static_cast<int>(date_time >> 25);
  t.month = static_cast<int>((date_time >> 21) & 0x0F);
  t.day = static_cast<int>((date_time >> 16) & 0x1F);
  t.hour = static_cast<int>((date_time >> 11) & 0x1F);
  t.minute = static_cast<int>((date_time >> 5) & 0x3F);
  // Two-second steps: the field's 30 and 31 give 60 and 62, which are no time at all.
  t.second = 2 * static_cast<int>(date_time & 0x1F);
  if (t.month < 1 || t.month > 12) return std::nullopt;
  if (t.day < 1 || t.day > DaysInMonth(t.year, t.month)) return std::nullopt;
  if (t.hour >= 24 || t.minute >= 60 || t.second >= 60) return std::nullopt;
  return t;
}
