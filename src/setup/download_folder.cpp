#include "setup/download_folder.h"

#include <memory>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/user_paths.h"

namespace {

void AwaitDownloadFolderRemoval(Form1& form) {
  const std::unique_ptr<CommandRun> removal = std::move(form.download_folder_removal);
  if (!removal || removal->HasEnded()) return;
  constexpr unsigned kStepMs = 100;
  unsigned waited = 0;
  while (waited < kDownloadFolderRemovalWaitMs && !removal->HasEnded()) {
    form.clock.PauseAnswering(kStepMs);
    waited += kStepMs;
  }
  form.log.Event(removal->HasEnded()
                     ? L"the download folder's removal ended after a wait of " + std::to_wstring(waited) + L" ms"
                     : L"the download folder's removal still runs after " + std::to_wstring(waited) + L" ms");
}

}  // namespace

void EnsureDownloadFolder(Form1& form) {
  AwaitDownloadFolderRemoval(form);
  const std::wstring folder = user_paths::DownloadFolder(form.folders);
  const auto reason = form.files.MakeFolder(folder);
  if (!reason || form.files.FolderExists(folder)) return;
  throw Error(L"Cannot make the folder \"" + folder + L"\". " + *reason);
}
