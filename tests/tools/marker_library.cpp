// A library planted beside the utility or in its current folder under a system library's
// name (propsys.dll, wininet.dll, ...). It has no exports: loaded at run time, it leaves
// its marker and then refuses to stay, so the run goes on and shows every plant taken.
#include "marker.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  LeaveMarker(instance);
  return FALSE;
}
