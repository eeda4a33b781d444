#include "transfer/paced_extraction.h"

#include <utility>

namespace {

class PacedFile : public OutputFile {
 public:
  PacedFile(std::unique_ptr<OutputFile> file, PumpCadence& cadence)
      : file_(std::move(file)), cadence_(cadence) {}
  bool Write(const unsigned char* data, std::size_t size) override {
    const bool written = file_->Write(data, size);
    cadence_.AfterStep();
    return written;
  }
  void Finish(const std::optional<LocalDateTime>& time, std::optional<std::uint32_t> attributes) override {
    file_->Finish(time, attributes);
  }
  std::unique_ptr<ArchiveInput> KeepForReading() override { return file_->KeepForReading(); }

 private:
  std::unique_ptr<OutputFile> file_;
  PumpCadence& cadence_;
};

}  // namespace

std::size_t PacedArchive::Read(unsigned char* buffer, std::size_t count) {
  const std::size_t read = input_.Read(buffer, count);
  cadence_.AfterStep();
  return read;
}

std::unique_ptr<OutputFile> PacedTarget::Create(const std::wstring& path, std::wstring& reason) {
  std::unique_ptr<OutputFile> file = target_.Create(path, reason);
  if (!file) return nullptr;
  return std::make_unique<PacedFile>(std::move(file), cadence_);
}
