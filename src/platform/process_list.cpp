#include "platform/process_list.h"

bool ScanOwnSession(ProcessList& list, const ProcessVisitor& visit) {
  const std::optional<std::uint32_t> own = list.OwnSession();
  return list.Scan([&](const ProcessEntry& entry) {
    if (own && entry.session != own) return true;
    return visit(entry.exe_name, entry.pid);
  });
}
