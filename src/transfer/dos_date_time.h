#pragma once
// The MS-DOS date and time of a ZIP header, as a calendar time.
#include <cstdint>
#include <optional>

// A wall-clock time of the local time zone, as an archive records it.
struct LocalDateTime {
  int year = 0;
  int month = 0;   // 1 to 12
  int day = 0;     // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// The date from the high 16 bits and the time from the low 16 bits of `date_time`.
// Nothing when they name no real moment: a day the calendar lacks (1980-00-00,
// February 30), an hour of 24 or more, a minute or second of 60 or more.
std::optional<LocalDateTime> DecodeDosDateTime(std::uint32_t date_time);
