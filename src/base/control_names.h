#pragma once
// The names the logic gives the main window's controls and timers.

enum class EditName { Edit1, Edit2, Edit3, Edit4, Edit5 };
enum class CheckBoxName { CheckBox1, CheckBox2 };
// The controls an entry handler hides when a scenario starts.
enum class EntryChoice { Panel1, Panel2, Panel3, CheckBox1, CheckBox2, Button6, Button7, Button9 };
// Every entry choice, in the order the window lists its controls.
inline constexpr EntryChoice kEntryChoices[] = {
    EntryChoice::Button6, EntryChoice::Button7,   EntryChoice::Button9, EntryChoice::CheckBox1,
    EntryChoice::Panel1,  EntryChoice::CheckBox2, EntryChoice::Panel2,  EntryChoice::Panel3};
enum class TimerName { start_1C, exit_1c, update_conf, update_conf_2, expectation_start_setup, expectation };

inline constexpr TimerName kAllTimers[] = {
    TimerName::start_1C,    TimerName::exit_1c,
    TimerName::update_conf, TimerName::update_conf_2,
    TimerName::expectation_start_setup, TimerName::expectation};

// Which control holds which field of the platform's command lines: the fields' roles.
namespace field {
inline constexpr EditName kBaseFolder = EditName::Edit1;
inline constexpr EditName kUser = EditName::Edit2;
inline constexpr EditName kPassword = EditName::Edit3;
inline constexpr EditName kServerName = EditName::Edit4;
inline constexpr EditName kBaseName = EditName::Edit5;
inline constexpr CheckBoxName kWithCredentials = CheckBoxName::CheckBox1;
inline constexpr CheckBoxName kServerBase = CheckBoxName::CheckBox2;
}  // namespace field

// The fixed period of each timer, in milliseconds.
unsigned IntervalOf(TimerName timer);
