#include "platform/process_list.h"

bool InOwnSession(const ProcessEntry& entry, const std::optional<std::uint32_t>& own) {
  return !own || entry.session == own;
}

bool ScanOwnSession(ProcessList& list, const ProcessVisitor& visit) {
  const std::optional<std::uint32_t> own = list.OwnSession();
  return list.Scan([&](const ProcessEntry& entry) {
    if (!InOwnSession(entry, own)) return true;
    return visit(entry.exe_name, entry.pid);
  });
}
