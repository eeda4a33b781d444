#pragma once
// The download as the stage chain uses it, so the chain runs against a fake as well.
#include <memory>
#include <string>

#include "transfer/archive_input.h"

#include "transfer/progress_bar.h"
#include "transfer/retry_plan.h"
#include "transfer/transfer_facts.h"

class Downloader {
 public:
  virtual ~Downloader() = default;
  // Stores the body of an HTTP GET of `fileURL` in the file `FileName` and moves
  // `Progress` as the bytes arrive; the window's messages are handled after every read,
  // which takes what has arrived. Redirects are followed, at most kMaxRedirects
  // (transfer/get_inet_file.h). True once the whole body is on disk, and the bar then
  // shows full. Raises Error when the transfer fails: a known length for which the
  // folder's volume has not the room SpaceNeeded gives (transfer/free_space.h; checked
  // before the file is made), no response, too many or unusable redirects, an HTTP status
  // other than 2xx, an unusable Content-Length, a broken, short or stalled body, one that
  // brings fewer than TrickleWatch::kLeastBytes in TrickleWatch::kWindowMs
  // (transfer/trickle_watch.h), a file that cannot be created or written; the text names
  // `fileURL` and says why. Nothing half-written is left at `FileName` then (a failure
  // before the body leaves an older file untouched, one during it removes the file), and
  // the bar's position is set to BufferSize (transfer/read_size.h), which the bar shows
  // clamped to its range. A quit
  // request taken up during the transfer ends it at the next read the same way, but
  // raises TransferAbandoned (transfer/transfer_abandoned.h) instead of Error.
  virtual bool GetInetFile(const std::wstring& fileURL, const std::wstring& FileName,
                           ProgressBar& Progress) = 0;
  // The same, but the file is returned still open, for reading from its start, and no one
  // else can open it until the reader is destroyed: what is read is what was downloaded
  // (and checked, when the vendor's keys are built in). It is an archive to be unpacked on
  // the same volume, so the room needed is twice its length.
  virtual std::unique_ptr<ArchiveInput> GetInetFileOpen(const std::wstring& fileURL, const std::wstring& FileName,
                                                        ProgressBar& Progress) = 0;
  // With the vendor's keys built in, GetInetFile and GetInetFileOpen also fetch
  // `fileURL` + ".sig" after the body, and raise PayloadRefused
  // (transfer/payload_check.h) when it cannot be had, is no DER signature or does not
  // verify; the file is removed then as after any other failure.
  // Where the transfers that follow tell of their attempts and pauses, on the GUI thread;
  // null: nowhere. One that makes a single attempt may ignore it.
  virtual void TellAttemptsTo(TransferEvents* events) { (void)events; }
  // What the last GetInetFile saw, for the run log, whether it succeeded or not. One that
  // keeps nothing answers with nothing known.
  virtual DownloadFacts LastDownload() const { return {}; }
};
