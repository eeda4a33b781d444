#include "platform/startup_guard.h"

#include "platform/process_rules.h"

void Button8Click(Form1& form) {
  ScanOwnSession(form.processes, [&form](const std::wstring& exe_name, std::uint32_t) {
    if (IsPlatformName(exe_name)) {
      form.app.ShowMessage(L"Необходимо закрыть все 1С");
      form.app.RequestTermination();
    }
    return true;
  });
}
