#include "transfer/get_inet_file.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "base/error.h"
#include "transfer/free_space.h"
#include "transfer/http_head.h"
#include "transfer/transfer_abandoned.h"
#include "transfer/transfer_texts.h"
#include "transfer/trickle_watch.h"
#include "transfer/zip_paths.h"

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
  void CloseAndKeep() {
    file_->Keep();
    file_.reset();
  }
  std::unique_ptr<ArchiveInput> KeepOpen() {
    file_->Keep();
    std::unique_ptr<ArchiveInput> reader = file_->KeepForReading();
    file_.reset();
    return reader;
  }

 private:
  OutputFiles& files_;
  std::wstring path_;
  std::unique_ptr<OutputFile> file_;
};

// Why one attempt ended short of the whole file: the error's full text, and whether
// another attempt may fare better.
struct AttemptFailed {
  std::wstring text;
  bool retried;
  std::optional<std::uint64_t> retry_after_ms;  // as the server asked, for a retried status
};

// The person may mistype; a dialog that came back at once with the same refusal again
// and again would otherwise send requests for ever.
constexpr int kProxyLogins = 5;

// A proxy that asks for credentials (407) is given them by the person and the request
// sent again, until it takes them; the answer it then lets through is `response`'s.
void LogInToProxy(const std::wstring& url, HttpResponse& response) {
  for (int given = 0; response.StatusCode() == 407; ++given) {
    if (given == kProxyLogins) {
      throw AttemptFailed{CannotDownloadText(url, ProxyCredentialsRefusedReason(response.ProxyName(), given)), false, {}};
    }
    HttpFailure failure;
    switch (response.LogInToProxy(failure)) {
      case ProxyLogin::resent:
        break;
      case ProxyLogin::cancelled:
        throw AttemptFailed{CannotDownloadText(url, ProxyCredentialsCancelledReason(response.ProxyName())), false, {}};
      case ProxyLogin::failed:
        throw AttemptFailed{CannotDownloadText(url, failure.reason), failure.transient, {}};
    }
  }
}

// Sends the request and follows redirects until an answer that is not one. WinINet is
// told not to follow them itself: it would follow a loop for ever, and to any scheme.
std::unique_ptr<HttpResponse> Request(const std::wstring& url, HttpRequest request, HttpSource& http,
                                      DownloadFacts& facts) {
  const auto refused = [&](const std::wstring& reason) { return AttemptFailed{CannotDownloadText(url, reason), false, {}}; };
  for (int redirects = 0;; ++redirects) {
    HttpFailure failure;
    std::unique_ptr<HttpResponse> response = http.Get(request, failure);
    if (!response) throw AttemptFailed{CannotDownloadText(url, failure.reason), failure.transient, {}};
    LogInToProxy(url, *response);
    const unsigned status = response->StatusCode();
    facts.status = status;
    if (!IsRedirect(status)) return response;
    if (redirects == kMaxRedirects) throw refused(TooManyRedirectsReason(kMaxRedirects));
    const std::wstring location = response->Location();
    if (location.empty()) throw refused(RedirectWithoutLocationReason(status));
    const std::optional<std::wstring> next = ResolveLocation(request.url, location);
    if (!next) throw refused(UnusableRedirectReason(location));
    if (LeavesHttps(request.url, *next)) throw refused(InsecureRedirectReason(*next));
    request.url = *next;
  }
}

// The pause before attempt `attempt` + 1 after `failed`: the plan's, or longer where the
// server asked for it within the plan's bound.
std::uint64_t PauseAfter(int attempt, const AttemptFailed& failed, const RetryPlan& plan) {
  std::uint64_t pause_ms = plan.pauses_ms.empty() ? 0 : plan.pauses_ms[std::min<std::size_t>(attempt - 1, plan.pauses_ms.size() - 1)];
  if (failed.retry_after_ms && *failed.retry_after_ms <= plan.longest_retry_after_ms) {
    pause_ms = std::max(pause_ms, *failed.retry_after_ms);
  }
  return pause_ms;
}

// Runs `attempt(n)` for n = 1, 2, ... until one returns, and gives what it returns. A
// failure that another attempt may mend is followed by the plan's pause, unless it was the
// plan's last attempt; any other failure, or the last, is raised as Error saying how many
// attempts were made. `failed(n, failure)` hears of each failed attempt, `pausing(ms, next)`
// of each pause as it begins.
template <typename Attempt, typename Failed, typename Pausing>
auto WithRetries(const TransferSystem& system, Attempt attempt, Failed failed, Pausing pausing) {
  const RetryPlan& plan = system.retry;
  for (int n = 1;; ++n) {
    try {
      return attempt(n);
    } catch (const AttemptFailed& failure) {
      failed(n, failure);
      if (!failure.retried || n >= plan.attempts) throw Error(failure.text + AttemptsMadeReason(n));
      const std::uint64_t pause_ms = PauseAfter(n, failure, plan);
      pausing(pause_ms, n + 1);
      if (system.pause.Wait(pause_ms)) throw TransferAbandoned();
    }
  }
}

// The head of a response, judged before any of its body is taken: a status worth another
// attempt (with the server's Retry-After), any other status but a success, and an unusable
// Content-Length end the attempt. Gives the announced length.
ContentLength JudgedHead(const std::wstring& url, HttpResponse& response) {
  const unsigned status = response.StatusCode();
  if (IsRetriedStatus(status)) {
    throw AttemptFailed{CannotDownloadText(url, HttpStatusReason(status)), true,
                        RetryAfterMs(response.Header(ResumeHeader::retry_after))};
  }
  if (!IsSuccess(status)) throw AttemptFailed{CannotDownloadText(url, HttpStatusReason(status)), false, {}};
  ContentLength length = ParseContentLength(response.ContentLengths());
  if (!length.fault.empty()) throw AttemptFailed{CannotDownloadText(url, length.fault), false, {}};
  return length;
}

// One attempt at the signature: the whole body in memory, at most `limit` bytes.
std::vector<unsigned char> SignatureAttempt(const std::wstring& url, const TransferSystem& system, std::size_t limit) {
  DownloadFacts facts;  // the file's own facts are what the log shows
  const std::unique_ptr<HttpResponse> response = Request(url, HttpRequest{url, std::nullopt, L""}, system.http, facts);
  const ContentLength length = JudgedHead(url, *response);
  std::vector<unsigned char> body;
  unsigned char buffer[BufferSize];
  std::uint32_t delivered = 0;
  std::wstring reason;
  do {
    if (!response->Read(buffer, BufferSize, delivered, reason)) {
      throw AttemptFailed{CannotDownloadText(url, reason), true, {}};
    }
    body.insert(body.end(), buffer, buffer + delivered);
    if (body.size() > limit) throw AttemptFailed{CannotDownloadText(url, OversizeReason(limit)), false, {}};
    if (system.pump.HandlePending()) throw TransferAbandoned();
  } while (delivered != 0);
  if (length.bytes && body.size() < *length.bytes) {
    throw AttemptFailed{CannotDownloadText(url, CutShortReason(body.size(), *length.bytes)), true, {}};
  }
  return body;
}

// The download is refused unless its signature is one of a built-in key over `digest`.
void CheckSignature(const std::wstring& url, const Sha256Digest& digest, const TransferSystem& system) {
  std::vector<unsigned char> der;
  try {
    der = GetInetSignature(url + L".sig", system, kMaxSignatureBytes);
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

// The transfer's state across its attempts. It lives on the thread that runs the
// transfer and is touched by nothing else; what others see of it goes out through the bar,
// the facts and the events.
class Transfer {
 public:
  // `copies`: how many times the file's length the volume must hold (see SpaceShortage).
  Transfer(const std::wstring& url, const std::wstring& path, ProgressBar& progress, const TransferSystem& system,
           unsigned copies)
      : url_(url), path_(path), progress_(progress), system_(system), facts_(system.facts),
        copies_(copies), digest_(system.verifier) {}

  // The file kept whole, and checked when there are keys: still open for reading when
  // `keep_open`, else closed (and null returned).
  std::unique_ptr<ArchiveInput> Run(bool keep_open) {
    facts_ = DownloadFacts{};
    const int attempts = system_.retry.attempts;
    std::wstring asked;
    WithRetries(
        system_,
        [&](int attempt) {
          facts_.attempts = attempt;
          asked = RangeAsked();
          Attempt();
          Note(AttemptLine(attempt, asked, L"whole"));
        },
        [&](int attempt, const AttemptFailed& failed) { Note(AttemptLine(attempt, asked, failed.text)); },
        [&](std::uint64_t pause_ms, int next) {
          Note(PauseLine(pause_ms, next, attempts));
          if (system_.events) system_.events->Pausing(next, attempts);
          paused_ = true;
        });
    if (digest_.Checked()) CheckSignature(url_, digest_.Finish(), system_);
    if (keep_open) return file_->KeepOpen();
    file_->CloseAndKeep();
    return nullptr;
  }

 private:
  // Only within this transfer: the file was begun by this run, and the validator of the
  // answer it began with says whether the server still has those bytes.
  bool CanResume() const { return received_ > 0 && total_ && !validator_.empty(); }

  std::wstring RangeAsked() const {
    return CanResume() ? L"bytes=" + std::to_wstring(received_) + L"-" : L"whole body";
  }

  void Note(const std::wstring& line) {
    if (system_.events) system_.events->Note(line);
  }

  std::wstring AttemptLine(int attempt, const std::wstring& asked, const std::wstring& end) const {
    return L"download attempt " + std::to_wstring(attempt) + L" of " + std::to_wstring(system_.retry.attempts) +
           L": asked " + asked + L", HTTP " + std::to_wstring(facts_.status) + L", " +
           std::to_wstring(received_ - attempt_start_) + L" bytes, file at " + std::to_wstring(received_) +
           L", ended: " + end;
  }

  static std::wstring PauseLine(std::uint64_t ms, int next, int attempts) {
    return L"download pause " + std::to_wstring(ms) + L" ms before attempt " + std::to_wstring(next) + L" of " +
           std::to_wstring(attempts);
  }

  // Every byte of the body goes to the file through here, in order; a full answer after
  // a range starts it again (Restart), so whatever follows the bytes sees them once each.
  bool WriteBody(const unsigned char* data, std::uint32_t size) {
    if (!(*file_)->Write(data, size)) return false;
    digest_.Add(data, size);
    return true;
  }

  void Restart() {
    if (file_ && !(*file_)->Truncate()) throw AttemptFailed{L"Stream write error", false, {}};
    received_ = 0;
    digest_.Restart();
  }

  void Attempt() {
    const bool ranged = CanResume();
    HttpRequest request{url_, std::nullopt, L""};
    if (ranged) {
      request.range_from = received_;
      request.if_range = validator_;
    } else {
      received_ = 0;  // a file begun without a way to resume is written again from its start
    }
    attempt_start_ = received_;
    facts_.status = 0;
    const std::unique_ptr<HttpResponse> response = Request(url_, request, system_.http, facts_);
    const ContentLength length = JudgedHead(url_, *response);
    if (ranged && response->StatusCode() == 206) {
      // Appended only when it is exactly the rest of the same body.
      const std::wstring range_text = response->Header(ResumeHeader::content_range);
      const std::optional<ContentRange> range = ParseContentRange(range_text);
      const bool continues = range && range->first == received_ && range->total == *total_ &&
                             range->last + 1 == *total_ &&
                             (!length.bytes || *length.bytes == range->last - range->first + 1);
      if (!continues) {
        throw AttemptFailed{CannotDownloadText(url_, UnusableRangeReason(received_, *total_, range_text)), false, {}};
      }
    } else {
      // The whole body: the file, its length and its validator start again from it.
      // Checked before the file is touched: an error page must not replace an older file.
      Restart();
      total_ = length.bytes;
      validator_ = ResumeValidator(response->Header(ResumeHeader::etag), response->Header(ResumeHeader::last_modified));
      facts_.length = length.bytes;
      if (length.bytes) {
        progress_.SetMax(BarMaxOf(*length.bytes));
        progress_.SetPosition(0);
      }
      if (!file_) {
        // Before the file exists: a full disk found halfway through costs the person the
        // time of the transfer, and leaves nothing room for the rest of the run.
        if (length.bytes) {
          const std::wstring folder = FolderOf(path_);
          if (const std::optional<std::wstring> shortage =
                  SpaceShortage(folder, system_.files.FreeBytes(folder), *length.bytes, copies_)) {
            throw AttemptFailed{*shortage, false, {}};
          }
        }
        std::wstring reason;
        std::unique_ptr<OutputFile> created = system_.files.Create(path_, reason);
        if (!created) throw AttemptFailed{CannotCreateFileText(path_, reason), false, {}};
        file_.emplace(system_.files, path_, std::move(created));
      }
    }
    ReadBody(*response);
  }

  void ReadBody(HttpResponse& response) {
    unsigned char buffer[BufferSize];
    std::uint32_t delivered = 0;
    std::wstring reason;
    TrickleWatch trickle(system_.clock.NowMs(), received_);
    // Counted in a member, and handed to the facts once the loop has ended either way.
    struct CountOnExit {
      std::uint64_t& from;
      std::uint64_t& to;
      ~CountOnExit() { to = from; }
    } count_on_exit{received_, facts_.bytes};
    do {
      if (!response.Read(buffer, BufferSize, delivered, reason)) {
        throw AttemptFailed{CannotDownloadText(url_, reason), true, {}};
      }
      if (delivered != 0 && !WriteBody(buffer, delivered)) throw AttemptFailed{L"Stream write error", false, {}};
      const std::uint64_t before = received_;
      received_ += delivered;
      if (total_ && received_ > *total_) {
        throw AttemptFailed{CannotDownloadText(url_, OverlongReason(*total_)), false, {}};
      }
      if (paused_ && delivered != 0) {
        paused_ = false;
        if (system_.events) system_.events->Flowing();
      }
      // Small reads must move the bar too: the hundreds of a 100-byte read round to 1, of a
      // 50-byte one to 0, yet a hundred of either is 50 or 100 hundreds of the body.
      progress_.StepBy(static_cast<int>(Hundreds(received_) - Hundreds(before)));
      // The last read of a body may be short whatever the pace; a body that is whole is done.
      const bool whole = total_ && received_ == *total_;
      if (delivered != 0 && !whole) {
        if (const std::optional<std::uint64_t> came = trickle.TooFewAfter(system_.clock.NowMs(), received_)) {
          throw AttemptFailed{CannotDownloadText(url_, TrickleReason(*came, TrickleWatch::kWindowMs / 1000)), true, {}};
        }
      }
      // The window was closed: the user no longer wants the file, and an invisible process
      // must not go on for hours on a slow server.
      if (system_.pump.HandlePending()) throw TransferAbandoned();
    } while (delivered != 0);

    // A connection that drops mid-body ends the reads just like the end of the body. A
    // chunked body cut before its last chunk cannot be told from a whole one here: WinINet
    // reports both as the end of the body (see WinInetSource).
    if (total_ && received_ < *total_) {
      throw AttemptFailed{CannotDownloadText(url_, CutShortReason(received_, *total_)), true, {}};
    }
  }

  const std::wstring& url_;
  const std::wstring& path_;
  ProgressBar& progress_;
  const TransferSystem& system_;
  DownloadFacts& facts_;
  const unsigned copies_;
  std::optional<CreatedFile> file_;  // one handle for every attempt, made by the first good answer
  std::uint64_t received_ = 0;       // bytes of the body in the file
  std::uint64_t attempt_start_ = 0;  // where the current attempt began
  std::optional<std::uint64_t> total_;  // the length of the whole body, from the answer the file began with
  std::wstring validator_;              // the If-Range of a later attempt; empty: none
  bool paused_ = false;                 // bytes have not flowed since the last pause
  BodyDigest digest_;                   // of the bytes in the file, in order
};

// The bar as GetInetFile leaves it, whatever the outcome.
template <typename Run>
auto ShowingEnd(ProgressBar& progress, Run run) {
  try {
    auto result = run();
    progress.SetPosition(kFull);
    return result;
  } catch (...) {
    // As the bar has always ended a transfer: at BufferSize, which the bar clamps to its
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
    Transfer(fileURL, FileName, Progress, system, 1).Run(false);
    return true;
  });
}

std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                              ProgressBar& Progress, const TransferSystem& system) {
  return ShowingEnd(Progress, [&] { return Transfer(fileURL, FileName, Progress, system, 2).Run(true); });
}

std::vector<unsigned char> GetInetSignature(const std::wstring& url, const TransferSystem& system, std::size_t limit) {
  return WithRetries(
      system, [&](int) { return SignatureAttempt(url, system, limit); }, [](int, const AttemptFailed&) {},
      [](std::uint64_t, int) {});
}
