#pragma once
// The system's messages as the tail of the utility's own sentences.
#include <string>

// Windows ends its messages with a full stop and a line break (FormatMessageW), some with
// trailing blanks too; the utility's texts go on after them or end where the error report
// adds its own full stop, so all of those are dropped. Text in the middle is kept.
std::wstring TrimmedSystemMessage(std::wstring message);
