#pragma once
// The extraction on Windows: the archive file read through kernel32, the entries written
// to the file system.
#include <string>

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
    const bool done = ::UnZipFile(sourceFile, destPath, facts_, &hold_);
    hold_.path.clear();
    return done;
  }
  bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring&, const std::wstring& destPath) override {
    const bool done = ::UnZipFile(*source, destPath, facts_, &hold_);
    hold_.path.clear();
    return done;
  }
  ExtractionFacts LastExtraction() const override { return facts_; }
  void HoldOnceWritten(const std::wstring& path) override { hold_.path = path; }
  void ReleaseHeld() override { hold_.held.reset(); }

 private:
  ExtractionFacts facts_;
  FileHold hold_;
};
