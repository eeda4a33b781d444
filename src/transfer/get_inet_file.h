#pragma once
// The transfer of one URL into one file, over the core's interfaces.
#include <cstdint>
#include <string>

#include <memory>
#include <vector>

#include "transfer/archive_input.h"
#include "transfer/progress_bar.h"
#include "transfer/http_source.h"
#include "transfer/message_pump.h"
#include "transfer/output_file.h"
#include "transfer/payload_check.h"
#include "transfer/read_size.h"
#include "transfer/retry_plan.h"
#include "transfer/tick_clock.h"
#include "transfer/transfer_facts.h"

// The bar's unit: a count of bytes in hundreds, rounded to the nearest, a tie going to
// the even one (50 gives 0, 150 gives 2, 250 gives 2).
std::uint64_t Hundreds(std::uint64_t count);

// The bar's Max for a body of `length` bytes: its hundreds, or the largest range the
// control holds when they would not fit (beyond about 214 GB).
int BarMaxOf(std::uint64_t length);

// Redirects followed for one download; one more is an error, so a loop ends.
inline constexpr int kMaxRedirects = 10;

struct TransferSystem {
  HttpSource& http;
  OutputFiles& files;
  MessagePump& pump;
  TickClock& clock;
  DownloadFacts& facts;  // reset at the start of each transfer
  AttemptPause& pause;
  TransferEvents* events = nullptr;  // none: nobody is told
  RetryPlan retry{};
  // The vendor's keys; null when none are built in, and then no signature is fetched.
  PayloadVerifier* verifier = nullptr;
};

// What Downloader::GetInetFile promises. Redirects (the statuses IsRedirect names) are
// followed to http and https addresses, at most kMaxRedirects of them, but never from
// https to anything else; every error names `fileURL`, the address asked for. The bar's
// range becomes 0 to BarMaxOf the Content-Length, and after each read it stands at the
// hundreds of all bytes received (it is stepped there from where it stood, so without a
// Content-Length, whose range is left as it is, it moves on from the earlier position).
// A body that brings fewer than TrickleWatch::kLeastBytes in its last
// TrickleWatch::kWindowMs is an error saying how many came. When the pump reports a quit
// request, the transfer ends at that read: the partial file is removed and
// TransferAbandoned raised.
//
// When the first full answer has a Content-Length, the volume of the file's folder must
// have room for it (SpaceShortage, one copy) before the file is created; otherwise that
// text is raised and nothing is written.
//
// A transfer that breaks off (no connection, a time-out, a failed read, a body short of
// its length, a trickle, a status IsRetriedStatus gives) is tried again, up to the plan's
// attempts, after its pauses; a later attempt asks for the rest of the body when the
// first full answer had a length and a validator (ResumeValidator), and appends a 206
// that continues the file exactly; a full answer starts the file again from zero. Any
// other fault ends the transfer at once. The error raised is the last attempt's, saying
// how many attempts were made when more than one.
//
// With a verifier, the body is hashed as it is written, and once it is whole its signature
// is fetched from `fileURL` + ".sig" (GetInetSignature) and checked; a signature that
// cannot be had, is not DER or does not verify raises PayloadRefused, and the file is
// removed as after any other failure.
bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                 ProgressBar& Progress, const TransferSystem& system);

// The same, but the file stays open as the transfer wrote it and is returned for reading
// from its start: no one can open it, let alone change it, until the reader is destroyed,
// so what is read is what was checked. Such a file is an archive to be unpacked beside
// it, so its volume must have room for it twice.
std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                              ProgressBar& Progress, const TransferSystem& system);

// The body of `url` in memory, with the request rules of GetInetFile (redirects, HTTPS,
// the status, the Content-Length) and its attempts and pauses. Raises Error as GetInetFile
// does, and for a body of more than `limit` bytes.
std::vector<unsigned char> GetInetSignature(const std::wstring& url, const TransferSystem& system, std::size_t limit);
