#pragma once
// The window's words for a refusal of its fields: each field is named by the caption the
// person reads above it.
#include <string>

#include "platform/command_lines.h"

// The message that tells the person what cannot be passed to the platform and that the
// fields must be corrected.
std::wstring FieldRefusalMessage(const FieldRefusal& refusal);
