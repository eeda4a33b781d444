#pragma once
// The extraction on Windows: the archive file read through kernel32, the entries written
// to the file system.
#include <string>

#include "base/error.h"
#include "transfer/extraction_target_win32.h"
#include "transfer/unzipper.h"

// What Unzipper::UnZipFile promises; `facts` tells what was done, whatever the outcome.
// The file `hold` names, if any, is held in it once written.
bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath, ExtractionFacts& facts,
               FileHold* hold = nullptr);
// The same from an archive already open.
bool UnZipFile(ArchiveInput& archive, const std::wstring& destPath, ExtractionFacts& facts,
               FileHold* hold = nullptr);

class UnzipperWin32 : public Unzipper {
 public:
  bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) override {
    return HoldingOnce([&] { return ::UnZipFile(sourceFile, destPath, facts_, &hold_); });
  }
  bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring&, const std::wstring& destPath) override {
    return HoldingOnce([&] { return ::UnZipFile(*source, destPath, facts_, &hold_); });
  }
  ExtractionFacts LastExtraction() const override { return facts_; }
  void HoldOnceWritten(const std::wstring& path) override { hold_.path = path; }
  void ReleaseHeld() override { hold_.held.reset(); }

 private:
  // An extraction that could not hold the file it was to hold has failed, whatever else it did.
  template <typename Extraction>
  bool HoldingOnce(Extraction extraction) {
    struct PathDropped {
      FileHold& hold;
      ~PathDropped() { hold.path.clear(); }
    } once{hold_};
    hold_.failure.clear();
    const bool done = extraction();
    if (!hold_.failure.empty()) throw Error(hold_.failure);
    return done;
  }

  ExtractionFacts facts_;
  FileHold hold_;
};
