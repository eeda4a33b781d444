#include "base/control_names.h"

#include <gtest/gtest.h>

#include <set>

TEST(IntervalOf, PinsEachOfTheSixTimersToItsOwnPeriod) {
  // Written out rather than grouped by period, so that a period moved to the wrong timer
  // fails on that timer's row.
  struct Case {
    TimerName timer;
    const char* name;
    unsigned period_ms;
  } cases[] = {
      {TimerName::start_1C, "start_1C", 1000},
      {TimerName::exit_1c, "exit_1c", 3000},
      {TimerName::update_conf, "update_conf", 1000},
      {TimerName::update_conf_2, "update_conf_2", 1000},
      {TimerName::expectation_start_setup, "expectation_start_setup", 1000},
      {TimerName::expectation, "expectation", 3000},
  };
  std::set<TimerName> listed(std::begin(kAllTimers), std::end(kAllTimers));
  EXPECT_EQ(listed.size(), std::size(kAllTimers)) << "each timer listed once";
  EXPECT_EQ(std::size(kAllTimers), std::size(cases)) << "every timer is made, and only these";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(IntervalOf(c.timer), c.period_ms);
    EXPECT_TRUE(listed.count(c.timer)) << "the window makes a timer for it";
  }
}
