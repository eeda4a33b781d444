#include "base/window_placement.h"

#include <algorithm>

ScreenPoint CenteredOrigin(const ScreenRect& work_area, int window_width, int window_height) {
  const int dx = (work_area.right - work_area.left - window_width) / 2;
  const int dy = (work_area.bottom - work_area.top - window_height) / 2;
  // A window taller or wider than the work area (150 % scaling on a small screen) would
  // start above it with its caption out of reach: it keeps its size and starts at the
  // work area's edge, and the person can still move it.
  return {work_area.left + std::max(dx, 0), work_area.top + std::max(dy, 0)};
}
