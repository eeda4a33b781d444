#include "setup/download_folder.h"

#include "base/error.h"
#include "base/user_paths.h"

void EnsureDownloadFolder(Form1& form) {
  const std::wstring folder = user_paths::DownloadFolder(form.globals.PCName);
  const auto reason = form.files.MakeFolder(folder);
  if (!reason || form.files.FolderExists(folder)) return;
  throw Error(L"Cannot make the folder \"" + folder + L"\". " + *reason);
}
