#pragma once
// The names the logic gives the main window's controls and timers.

enum class EditName { Edit1, Edit2, Edit3, Edit4, Edit5 };
enum class CheckBoxName { CheckBox1, CheckBox2 };
// The controls an entry handler hides when a scenario starts.
enum class EntryChoice { Panel1, Panel2, Panel3, CheckBox1, CheckBox2, Button6, Button7, Button9 };
enum class TimerName { start_1C, exit_1c, update_conf, update_conf_2, expectation_start_setup, expectation };

inline constexpr TimerName kAllTimers[] = {
    TimerName::start_1C,    TimerName::exit_1c,
    TimerName::update_conf, TimerName::update_conf_2,
    TimerName::expectation_start_setup, TimerName::expectation};

// The fixed period of each timer, in milliseconds.
unsigned IntervalOf(TimerName timer);
