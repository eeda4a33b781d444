#pragma once
// A plain container with a raised one-pixel bevel that passes its children's
// notifications on to its parent, as the form's panels need.
#include <windows.h>

// Registers the panel class once per process; returns its name. Raises Error when the
// system refuses the class. A panel is created with WS_EX_CONTROLPARENT, so that Tab
// walks into its edits.
const wchar_t* PanelClassName(HINSTANCE instance);
