#include "transfer/get_inet_file.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "base/error.h"
#include "transfer/http_head.h"
#include "transfer/transfer_abandoned.h"
#include "transfer/transfer_texts.h"
#include "transfer/trickle_watch.h"

namespace {

// The bar keeps every position inside its range, so this shows it full whatever its Max
// (without a Content-Length the range is whatever an earlier transfer left).
constexpr int kFull = std::numeric_limits<int>::max();

// An error page is not the file asked for, and neither is a redirect's own body.
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
  void CloseAndKeep() { file_.reset(); }
  std::unique_ptr<ArchiveInput> KeepOpen() {
    std::unique_ptr<ArchiveInput> reader = file_->KeepForReading();
    file_.reset();
    return reader;
  }

 private:
  OutputFiles& files_;
  std::wstring path_;
  std::unique_ptr<OutputFile> file_;
};

// Sends the request and follows redirects until an answer that is not one. WinINet is
// told not to follow them itself: it would follow a loop for ever, and to any scheme.
std::unique_ptr<HttpResponse> Request(const std::wstring& url, HttpSource& http, DownloadFacts& facts) {
  std::wstring address = url;
  std::wstring reason;
  for (int redirects = 0;; ++redirects) {
    std::unique_ptr<HttpResponse> response = http.Get(address, reason);
    if (!response) throw Error(CannotDownloadText(url, reason));
    const unsigned status = response->StatusCode();
    facts.status = status;
    if (!IsRedirect(status)) return response;
    if (redirects == kMaxRedirects) throw Error(CannotDownloadText(url, TooManyRedirectsReason(kMaxRedirects)));
    const std::wstring location = response->Location();
    if (location.empty()) throw Error(CannotDownloadText(url, RedirectWithoutLocationReason(status)));
    const std::optional<std::wstring> next = ResolveLocation(address, location);
    if (!next) throw Error(CannotDownloadText(url, UnusableRedirectReason(location)));
    if (LeavesHttps(address, *next)) throw Error(CannotDownloadText(url, InsecureRedirectReason(*next)));
    address = *next;
  }
}

// The download is refused unless its signature is one of a built-in key over `digest`.
void CheckSignature(const std::wstring& url, const Sha256Digest& digest, const TransferSystem& system) {
  std::vector<unsigned char> der;
  try {
    der = GetInetSignature(url + L".sig", system.http, kMaxSignatureBytes);
  } catch (const Error& error) {
    system.facts.signature = L"cannot be downloaded";
    throw PayloadRefused(url, L"its signature could not be downloaded. " + error.text());
  }
  std::wstring fault;
  const std::optional<RawSignature> signature = ParseDerSignature(der, fault);
  if (!signature) {
    system.facts.signature = L"not a DER signature";
    throw PayloadRefused(url, L"its signature is not a DER-encoded ECDSA signature: " + fault);
  }
  if (!system.verifier->Verify(digest, *signature)) {
    system.facts.signature = L"does not match";
    throw PayloadRefused(url, SignatureMismatchReason());
  }
  system.facts.signature = L"verified";
}

std::unique_ptr<ArchiveInput> Transfer(const std::wstring& url, const std::wstring& path, ProgressBar& progress,
                                       const TransferSystem& system, bool keep_open) {
  // The request goes out, and its answer is judged, before the output file is touched:
  // an error page must not replace an older file.
  DownloadFacts& facts = system.facts;
  facts = DownloadFacts{};
  const std::unique_ptr<HttpResponse> response = Request(url, system.http, facts);
  const unsigned status = response->StatusCode();
  if (!IsSuccess(status)) throw Error(CannotDownloadText(url, HttpStatusReason(status)));

  const ContentLength length = ParseContentLength(response->ContentLengths());
  if (!length.fault.empty()) throw Error(CannotDownloadText(url, length.fault));
  facts.length = length.bytes;
  if (length.bytes) {
    progress.SetMax(BarMaxOf(*length.bytes));
    progress.SetPosition(0);
  }

  std::wstring reason;
  std::unique_ptr<OutputFile> created = system.files.Create(path, reason);
  if (!created) throw Error(CannotCreateFileText(path, reason));
  CreatedFile file(system.files, path, std::move(created));
  BodyDigest digest(system.verifier);

  unsigned char buffer[BufferSize];
  std::uint64_t received = 0;
  std::uint32_t delivered = 0;
  TrickleWatch trickle(system.clock.NowMs());
  // Counted in a local, and handed to the facts once the loop has ended either way.
  struct CountOnExit {
    std::uint64_t& from;
    std::uint64_t& to;
    ~CountOnExit() { to = from; }
  } count_on_exit{received, facts.bytes};
  do {
    if (!response->Read(buffer, BufferSize, delivered, reason)) {
      throw Error(CannotDownloadText(url, reason));
    }
    if (delivered != 0 && !file->Write(buffer, delivered)) throw Error(L"Stream write error");
    digest.Add(buffer, delivered);
    const std::uint64_t before = received;
    received += delivered;
    if (length.bytes && received > *length.bytes) {
      throw Error(CannotDownloadText(url, OverlongReason(*length.bytes)));
    }
    // Small reads must move the bar too: the hundreds of a 100-byte read round to 1, of a
    // 50-byte one to 0, yet a hundred of either is 50 or 100 hundreds of the body.
    progress.StepBy(static_cast<int>(Hundreds(received) - Hundreds(before)));
    // The last read of a body may be short whatever the pace; a body that is whole is done.
    const bool whole = length.bytes && received == *length.bytes;
    if (delivered != 0 && !whole) {
      if (const std::optional<std::uint64_t> came = trickle.TooFewAfter(system.clock.NowMs(), received)) {
        throw Error(CannotDownloadText(url, TrickleReason(*came, TrickleWatch::kWindowMs / 1000)));
      }
    }
    // The window was closed: the user no longer wants the file, and an invisible process
    // must not go on for hours on a slow server.
    if (system.pump.HandlePending()) throw TransferAbandoned();
  } while (delivered != 0);

  // A connection that drops mid-body ends the reads just like the end of the body. A
  // chunked body cut before its last chunk cannot be told from a whole one here: WinINet
  // reports both as the end of the body (see WinInetSource).
  if (length.bytes && received < *length.bytes) {
    throw Error(CannotDownloadText(url, CutShortReason(received, *length.bytes)));
  }
  if (digest.Checked()) CheckSignature(url, digest.Finish(), system);
  if (keep_open) return file.KeepOpen();
  file.CloseAndKeep();
  return nullptr;
}

// The bar as GetInetFile leaves it, whatever the outcome.
template <typename Run>
auto ShowingEnd(ProgressBar& progress, Run run) {
  try {
    auto result = run();
    progress.SetPosition(kFull);
    return result;
  } catch (...) {
    // As the bar has always ended a transfer: position 3072, which the bar clamps to its
    // range. Only a transfer that delivered the whole file is shown full.
    progress.SetPosition(static_cast<int>(BufferSize));
    throw;
  }
}

}  // namespace

std::uint64_t Hundreds(std::uint64_t count) {
  std::uint64_t hundreds = count / 100;
  const std::uint64_t rest = count % 100;
  if (rest > 50 || (rest == 50 && hundreds % 2 == 1)) ++hundreds;
  return hundreds;
}

int BarMaxOf(std::uint64_t length) {
  return static_cast<int>(std::min<std::uint64_t>(Hundreds(length), kFull));
}

bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                 ProgressBar& Progress, const TransferSystem& system) {
  return ShowingEnd(Progress, [&] {
    Transfer(fileURL, FileName, Progress, system, false);
    return true;
  });
}

std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                              ProgressBar& Progress, const TransferSystem& system) {
  return ShowingEnd(Progress, [&] { return Transfer(fileURL, FileName, Progress, system, true); });
}

std::vector<unsigned char> GetInetSignature(const std::wstring& url, HttpSource& http, std::size_t limit) {
  DownloadFacts facts;  // the file's own facts are what the log shows
  const std::unique_ptr<HttpResponse> response = Request(url, http, facts);
  const unsigned status = response->StatusCode();
  if (!IsSuccess(status)) throw Error(CannotDownloadText(url, HttpStatusReason(status)));
  const ContentLength length = ParseContentLength(response->ContentLengths());
  if (!length.fault.empty()) throw Error(CannotDownloadText(url, length.fault));
  std::vector<unsigned char> body;
  unsigned char buffer[BufferSize];
  std::uint32_t delivered = 0;
  std::wstring reason;
  do {
    if (!response->Read(buffer, BufferSize, delivered, reason)) throw Error(CannotDownloadText(url, reason));
    body.insert(body.end(), buffer, buffer + delivered);
    if (body.size() > limit) throw Error(CannotDownloadText(url, OversizeReason(limit)));
  } while (delivered != 0);
  if (length.bytes && body.size() < *length.bytes) {
    throw Error(CannotDownloadText(url, CutShortReason(body.size(), *length.bytes)));
  }
  return body;
}
