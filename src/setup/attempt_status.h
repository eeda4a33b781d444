#pragma once
// A download of the chain, with its attempts shown in the status line and the run log.
#include <memory>
#include <string>

#include "setup/session.h"

// Shows `status_text` and downloads `url` into `file` through the session's downloader.
// While it pauses before another attempt the status reads the text followed by
// " (попытка N из M)", and the plain text again once bytes flow; the run log gets a line
// per attempt and per pause. What GetInetFile returns or raises goes on unchanged.
bool DownloadShowingAttempts(Form1& form, const std::wstring& url, const std::wstring& file,
                             const std::wstring& status_text);
// The same through GetInetFileOpen: the file comes back still open.
std::unique_ptr<ArchiveInput> DownloadOpenShowingAttempts(Form1& form, const std::wstring& url,
                                                          const std::wstring& file, const std::wstring& status_text);

// " (попытка 2 из 5)": the status text's tail during a pause before attempt `next`.
std::wstring AttemptTail(int next, int attempts);
