
#include <exception>

#include "base/user_paths.h"
#include "setup/attempt_status.h"
#include "setup/addresses.h"
#include "setup/download_folder.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"

void Button3Click(Form1& form) {
  form.log.Event(L"Button3Click");
  const std::wstring& user = form.globals.PCName;
  const std::wstring configuration_file = user_paths::ConfigurationFile(user);
  // Neither is fatal here: the download names the file when it cannot create it.
  try {
    const std::wstring folder = user_paths::ConfigurationFolder(user);
    if (!form.files.FolderExists(folder)) form.files.MakeFolder(folder);
  } catch (const std::exception&) {
  }
  try {
    form.files.RemoveFile(configuration_file);
  } catch (const std::exception&) {
  }
  EnsureDownloadFolder(form);
  if (DownloadShowingAttempts(form, ConfigurationAddress(), configuration_file, stage_text::kDownloadingConfiguration)) {
    Button4Click(form);
  }
}
