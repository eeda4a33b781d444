#pragma once
// The download folder in the account's Downloads (user_paths::DownloadFolder), which
// start-up removes and each of the chain's two downloads makes again before it starts,
// though neither writes there: the files go to the run folder, and the configuration's
// copy to Documents.
#include "setup/session.h"

// Makes the download folder unless it is there already. Raises Error naming the folder
// and giving the system's reason when it can be neither made nor found: a download into
// a missing folder could only fail later, with a less telling text.
// First it waits, answering the window, for start-up's removal of the folder to end, at
// most kDownloadFolderRemovalWaitMs: a folder made while the removal still runs can
// vanish under the download that follows (a click soon after start-up, or an old
// package of thousands of files that an antivirus scans as they go). Past that time it
// goes on, as before.
void EnsureDownloadFolder(Form1& form);
inline constexpr unsigned kDownloadFolderRemovalWaitMs = 60000;
