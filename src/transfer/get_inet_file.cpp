#include "transfer/get_inet_file.h"

#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "app/error.h"
#include "transfer/transfer_texts.h"

namespace {

// The bar keeps every position inside its range, so this shows it full whatever its Max
// (without a Content-Length the range is whatever an earlier transfer left).
constexpr int kFull = std::numeric_limits<int>::max();

// A redirect WinINet did not follow, or an error page, is not the file asked for.
bool IsSuccess(unsigned status) { return status >= 200 && status <= 299; }

// The output file while it may still be half-written: unless kept, it is closed and
// removed, so a failed transfer never leaves a file that looks complete.
class CreatedFile {
 public:
  CreatedFile(OutputFiles& files, std::wstring path, std::unique_ptr<OutputFile> file)
      : files_(files), path_(std::move(path)), file_(std::move(file)) {}
  CreatedFile(const CreatedFile&) = delete;
  CreatedFile& operator=(const CreatedFile&) = delete;
  ~CreatedFile() {
    if (!file_) return;
    file_.reset();
    files_.Remove(path_);
  }
  OutputFile* operator->() const { return file_.get(); }
  void CloseAndKeep() {
    file_->Close();
    file_.reset();
  }

 private:
  OutputFiles& files_;
  std::wstring path_;
  std::unique_ptr<OutputFile> file_;
};

void Transfer(const std::wstring& url, const std::wstring& path, ProgressBar& progress,
              const TransferSystem& system) {
  std::wstring reason;
  // The request goes out, and its status is judged, before the output file is touched:
  // an error page must not replace an older file.
  const std::unique_ptr<HttpResponse> response = system.http.Get(url, reason);
  if (!response) throw Error(CannotDownloadText(url, reason));
  const unsigned status = response->StatusCode();
  if (!IsSuccess(status)) throw Error(CannotDownloadText(url, HttpStatusReason(status)));

  const std::optional<std::uint32_t> length = response->ContentLength();
  if (length) {
    progress.SetMax(Hundreds(*length));
    progress.SetPosition(0);
  }

  std::unique_ptr<OutputFile> created = system.files.Create(path, reason);
  if (!created) throw Error(CannotCreateFileText(path, reason));
  CreatedFile file(system.files, path, std::move(created));

  unsigned char buffer[BufferSize];
  std::uint64_t received = 0;
  std::uint32_t delivered = 0;
  do {
    if (!response->Read(buffer, BufferSize, delivered, reason)) {
      throw Error(CannotDownloadText(url, reason));
    }
    if (delivered != 0 && !file->Write(buffer, delivered)) throw Error(L"Stream write error");
    received += delivered;
    progress.StepBy(Hundreds(delivered));
    system.pump.HandlePending();
  } while (delivered != 0);

  // A connection that drops mid-body ends the reads just like the end of the body.
  if (length && received < *length) {
    throw Error(CannotDownloadText(url, CutShortReason(received, *length)));
  }
  file.CloseAndKeep();
}

}  // namespace

int Hundreds(std::uint32_t count) {
  std::uint32_t hundreds = count / 100;
  const std::uint32_t rest = count % 100;
  if (rest > 50 || (rest == 50 && hundreds % 2 == 1)) ++hundreds;
  return static_cast<int>(hundreds);
}

bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                 ProgressBar& Progress, const TransferSystem& system) {
  try {
    Transfer(fileURL, FileName, Progress, system);
  } catch (...) {
    // As the bar has always ended a transfer: position 3072, which the bar clamps to its
    // range. Only a transfer that delivered the whole file is shown full.
    Progress.SetPosition(static_cast<int>(BufferSize));
    throw;
  }
  Progress.SetPosition(kFull);
  return true;
}
