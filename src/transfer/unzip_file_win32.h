#pragma once
// The extraction on Windows: the archive file read through kernel32, the entries written
// to the file system.
#include <string>

#include "transfer/unzipper.h"

// What Unzipper::UnZipFile promises; `facts` tells what was done, whatever the outcome.
bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath, ExtractionFacts& facts);
// The same from an archive already open.
bool UnZipFile(ArchiveInput& archive, const std::wstring& destPath, ExtractionFacts& facts);

class UnzipperWin32 : public Unzipper {
 public:
  bool UnZipFile(const std::wstring& sourceFile, const std::wstring& destPath) override {
    return ::UnZipFile(sourceFile, destPath, facts_);
  }
  bool UnZipOpenFile(std::unique_ptr<ArchiveInput> source, const std::wstring&, const std::wstring& destPath) override {
    return ::UnZipFile(*source, destPath, facts_);
  }
  ExtractionFacts LastExtraction() const override { return facts_; }

 private:
  ExtractionFacts facts_;
};
