// libFuzzer over the whole ZIP reader: end record, central directory, local headers, names,
// path rules and both decoders, with a file system that only counts. Besides the
// sanitizers' findings it stops on the one promise that matters most: nothing is ever made
// outside the destination folder.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error.h"
#include "transfer/zip_extractor.h"

namespace {

const std::wstring kDest = L"C:\\fuzz\\";

// Inflating a few bytes can give megabytes: past this much output an input is dropped.
constexpr std::size_t kOutputBudget = 16 << 20;
struct OverBudget {};

class Input : public ArchiveInput {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Size() override { return size_; }
  void Seek(std::uint64_t position) override { position_ = position; }
  std::size_t Read(unsigned char* buffer, std::size_t count) override {
    if (position_ >= size_) return 0;
    const std::size_t n = std::min<std::uint64_t>(count, size_ - position_);
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::uint64_t position_ = 0;
};

void MustStayInside(const std::wstring& path) {
  if (path.compare(0, kDest.size(), kDest) != 0) std::abort();
  std::wstring::size_type at = 0;
  while ((at = path.find(L"..", at)) != std::wstring::npos) {
    const bool starts_part = path[at - 1] == L'\\';
    const std::wstring::size_type end = path.find_first_not_of(L". ", at);
    if (starts_part && (end == std::wstring::npos || path[end] == L'\\')) std::abort();
    at += 2;
  }
}

class CountingTarget : public ExtractionTarget {
 public:
  std::wstring FullPath(const std::wstring& path) override { return path; }
  void MakeFolders(const std::wstring& folder) override { MustStayInside(folder + L"\\"); }
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring&) override {
    MustStayInside(path);
    if (path.find(L':', 2) != std::wstring::npos) std::abort();  // no stream names
    return std::make_unique<File>(output_);
  }
  void Remove(const std::wstring& path) override { MustStayInside(path); }

 private:
  class File : public OutputFile {
   public:
    explicit File(std::size_t& output) : output_(output) {}
    bool Write(const unsigned char*, std::size_t size) override {
      if (size > 61440) std::abort();
      output_ += size;
      if (output_ > kOutputBudget) throw OverBudget();
      return true;
    }
    void Finish(const std::optional<LocalDateTime>& time, std::optional<std::uint32_t>) override {
      if (time && (time->month < 1 || time->month > 12 || time->second > 58)) std::abort();
    }
    std::unique_ptr<ArchiveInput> KeepForReading() override { std::abort(); }  // the extraction never reads back

   private:
    std::size_t& output_;
  };
  std::size_t output_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  CountingTarget target;
  ExtractionFacts facts;
  try {
    ExtractZip(input, kDest, target, facts);
  } catch (const Error&) {
  } catch (const OverBudget&) {
  }
  return 0;
}
