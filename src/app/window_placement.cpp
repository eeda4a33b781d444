#include "app/window_placement.h"

ScreenPoint CenteredOrigin(const ScreenRect& work_area, int window_width, int window_height) {
  // Integer division truncates toward zero: -7 / 2 is -3, as the window has always been placed.
  const int dx = (work_area.right - work_area.left - window_width) / 2;
  const int dy = (work_area.bottom - work_area.top - window_height) / 2;
  return {work_area.left + dx, work_area.top + dy};
}
