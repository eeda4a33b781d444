
#include <exception>

#include "base/error.h"
#include "base/user_paths.h"
#include "setup/addresses.h"
#include "setup/download_folder.h"
#include "setup/run_folder.h"
#include "setup/stage_chain.h"
#include "setup/stage_texts.h"
#include "setup/vendor_signed.h"

void Button3Click(Form1& form) {
  form.log.Event(L"Button3Click");
  const user_paths::UserFolders& user = form.folders;
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
  EnsureRunFolder(form);
  const std::wstring copy = RunFolderConfiguration(form.run_folder);
  form.controls.SetStatusText(stage_text::kDownloadingConfiguration);
  // Checked where nobody else can change it, before the copy that stays in Documents.
  const bool downloaded = VendorSigned(L"The configuration file", ConfigurationAddress(), [&] {
    return form.downloader.GetInetFile(ConfigurationAddress(), copy, form.controls.Progress());
  });
  if (downloaded) {
    // The copy in Documents stays after the run; the load reads the run folder's.
    if (const auto reason = form.run_folders.CopyFileTo(copy, configuration_file)) {
      throw Error(L"Cannot copy \"" + copy + L"\" to \"" + configuration_file + L"\". " + *reason);
    }
    Button4Click(form);
  }
}
