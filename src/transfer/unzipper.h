#pragma once
// The extraction as the stage chain uses it, so the chain runs against a fake as well.
#include <memory>
#include <string>

#include "transfer/archive_input.h"

#include "transfer/transfer_facts.h"

class Unzipper {
 public:
  virtual ~Unzipper() = default;
  // Unpacks every entry of the ZIP archive `sourceFile` below the folder `destPath`. True
  // once every entry is on disk; raises Error at the first failure (the texts are listed
  // with ExtractZip, and "Cannot open file "<full path>". <reason>" for the archive
  // itself). The archive is closed on every path. The window's messages are handled
  // every PumpCadence::kIntervalMs or so (transfer/pump_cadence.h), between blocks read
  // or written; a quit request taken up there ends the extraction at once: the file
  // being written is removed and TransferAbandoned (transfer/transfer_abandoned.h)
  // raised instead of Error.
  virtual bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) = 0;
  // The same from the archive `source`, already open (Downloader::GetInetFileOpen), which
  // `sourceFile` names for the log; it is closed on every path before this returns.
  virtual bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring& sourceFile,
                             const std::wstring& destPath) = 0;
  // What the last UnZipFile did, for the run log, whether it succeeded or not. One that
  // keeps nothing answers with nothing known.
  virtual ExtractionFacts LastExtraction() const { return {}; }
  // The next extraction (either call), once it has written the file `path` (as it names it), closes the
  // writer and at once opens the file again for reading and shared for reading only, so
  // that nothing can change, replace or delete it until ReleaseHeld, while a program can
  // still be started from it; when it cannot be held, the extraction raises Error saying
  // so. One that holds nothing ignores both.
  virtual void HoldOnceWritten(const std::wstring& /*path*/) {}
  virtual void ReleaseHeld() {}
};
