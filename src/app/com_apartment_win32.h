#pragma once
// COM for the GUI thread, from the start of the entry sequence to its end. Started once:
// shell extensions that the folder picker loads may keep threads running after the
// dialog has closed, and stopping COM after every pick could unload them under their
// feet. The folder picker and the shell's dialogs want a single-threaded apartment.
#include <objbase.h>

class ComApartment {
 public:
  ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  // Each successful call, S_FALSE included, is balanced by one CoUninitialize.
  ~ComApartment() {
    if (SUCCEEDED(result_)) ::CoUninitialize();
  }

 private:
  HRESULT result_;
};
