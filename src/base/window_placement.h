#pragma once
// Where the main window goes on the screen.

struct ScreenRect {
  int left, top, right, bottom;
};
struct ScreenPoint {
  int x, y;
};

// The top-left corner that centres a window of the given outer size on the work area.
// The work area's own origin is added, so a taskbar at the left or top does not push
// the window off-centre. The corner never lies above or left of the work area.
ScreenPoint CenteredOrigin(const ScreenRect& work_area, int window_width, int window_height);
