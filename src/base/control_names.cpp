#include "base/control_names.h"

unsigned IntervalOf(TimerName timer) {
  switch (timer) {
    case TimerName::exit_1c:
    case TimerName::expectation:
      return 3000;
    case TimerName::start_1C:
    case TimerName::update_conf:
    case TimerName::update_conf_2:
    case TimerName::expectation_start_setup:
      return 1000;
  }
  return 1000;
}
