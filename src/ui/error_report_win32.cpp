#include "ui/error_report_win32.h"

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "base/error.h"
#include "base/text.h"
#include "base/module_path_win32.h"
#include "transfer/transfer_abandoned.h"

namespace {

std::wstring ClassNameOf(const std::exception& error) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
  return WidenLatin1(status == 0 && name ? name.get() : typeid(error).name());
}

void LogErrorShown(Log& log, const std::exception& error) {
  log.Event(L"error shown: " + ReportText(ErrorText(error)));
}

}  // namespace

void ShowErrorReport(HWND owner, const std::wstring& title, const std::exception& error) {
  ::MessageBoxW(owner, ReportText(ErrorText(error)).c_str(), title.c_str(), MB_OK | MB_ICONSTOP);
}

void ShowApplicationError(const std::exception& error, Log& log) {
  LogErrorShown(log, error);
  const void* address = nullptr;
  if (auto* own = dynamic_cast<const Error*>(&error)) address = own->address();
  wchar_t head[512];
  std::swprintf(head, 512, L"Exception %ls in module %ls at %016llX.", ClassNameOf(error).c_str(),
                FileNameOf(ModulePath()).c_str(),
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
  const std::wstring text = std::wstring(head) + L"\n" + ReportText(ErrorText(error)) + L"\n";
  ::MessageBoxW(nullptr, text.c_str(), L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

bool RunHandler(HWND owner, const std::wstring& title, const std::function<void()>& handler, Log& log) {
  try {
    handler();
  } catch (const TransferAbandoned&) {
    // The user closed the window during a download: nothing to report, and the quit
    // request the transfer held back ends the program in the main loop.
    log.Event(L"stopped: the window was closed");
  } catch (const std::exception& error) {
    LogErrorShown(log, error);
    ShowErrorReport(owner, title, error);
    return false;
  } catch (...) {
    const Error unknown(L"Unknown error");
    LogErrorShown(log, unknown);
    ShowErrorReport(owner, title, unknown);
    return false;
  }
  return true;
}
