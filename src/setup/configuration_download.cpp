
#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "base/user_paths.h"
#include "setup/attempt_status.h"
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
  // The folder lies in one of the person's known folders, where a program without the
  // utility's rights may have put a link to somewhere it could not write itself.
  const std::wstring folder = user_paths::ConfigurationFolder(user);
  const std::wstring known_folder = folder.substr(0, folder.find_last_of(L'\\'));
  const std::wstring folder_tail = folder.substr(known_folder.size() + 1);
  const std::wstring file_tail = folder_tail + L"\\" + FileNameOf(configuration_file);
  const auto refuse_linked = [&](const std::wstring& tail, const std::wstring& path) {
    if (const std::optional<std::wstring> reason = form.files.LinkOnTheWay(known_folder, tail)) {
      throw Error(L"Cannot write \"" + path + L"\": " + *reason);
    }
  };
  refuse_linked(folder_tail, folder);
  // Not fatal here: the copy names the file when it cannot create it.
  if (!form.files.FolderExists(folder)) form.files.MakeFolder(folder);
  refuse_linked(file_tail, configuration_file);
  form.files.RemoveUnlinkedFile(known_folder, file_tail);
  EnsureDownloadFolder(form);
  EnsureRunFolder(form);
  const std::wstring copy = RunFolderConfiguration(form.run_folder);
  // Checked where nobody else can change it, before the copy that stays in Documents.
  const bool downloaded = VendorSigned(L"The configuration file", ConfigurationAddress(), [&] {
    return DownloadShowingAttempts(form, ConfigurationAddress(), copy, stage_text::kDownloadingConfiguration);
  });
  if (downloaded) {
    refuse_linked(folder_tail, folder);
    // The copy in Documents stays after the run; the load reads the run folder's.
    if (const auto reason = form.run_folders.CopyFileTo(copy, configuration_file)) {
      throw Error(L"Cannot copy \"" + copy + L"\" to \"" + configuration_file + L"\". " + *reason);
    }
    // The folder could have been swapped for a link while the file was written.
    refuse_linked(file_tail, configuration_file);
    Button4Click(form);
  }
}
