// A program planted beside the utility or in its current folder under the name of one
// the utility starts (cmd.exe, taskkill.exe, 1cv8.exe): it leaves its marker and ends.
#include "marker.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  LeaveMarker(nullptr);
  return 0;
}
