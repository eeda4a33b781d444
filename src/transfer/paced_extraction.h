#pragma once
// The archive and the target of an extraction with the message pump turned between their
// blocks, so that the window lives while a large package is unpacked.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transfer/archive_input.h"
#include "transfer/extraction_target.h"
#include "transfer/pump_cadence.h"

// Reads through `input`, giving `cadence` a step after each read.
class PacedArchive : public ArchiveInput {
 public:
  PacedArchive(ArchiveInput& input, PumpCadence& cadence) : input_(input), cadence_(cadence) {}
  std::uint64_t Size() override { return input_.Size(); }
  void Seek(std::uint64_t position) override { input_.Seek(position); }
  std::size_t Read(unsigned char* buffer, std::size_t count) override;

 private:
  ArchiveInput& input_;
  PumpCadence& cadence_;
};

// Creates through `target`; the files it gives take a step after each write. A quit
// request raised from a write leaves the file to the extraction, which removes it.
class PacedTarget : public ExtractionTarget {
 public:
  PacedTarget(ExtractionTarget& target, PumpCadence& cadence) : target_(target), cadence_(cadence) {}
  std::wstring FullPath(const std::wstring& path) override { return target_.FullPath(path); }
  void MakeFolders(const std::wstring& folder) override { target_.MakeFolders(folder); }
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override;
  void Remove(const std::wstring& path) override { target_.Remove(path); }
  std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override { return target_.FreeBytes(folder); }

 private:
  ExtractionTarget& target_;
  PumpCadence& cadence_;
};
