#pragma once
// The ZIP reader's outside world in memory: an archive that counts how it is read, and a
// file system that records what was made, in order.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "transfer/archive_input.h"
#include "transfer/extraction_target.h"
#include "transfer/zip_paths.h"

namespace zip_test {

class MemoryArchive : public ArchiveInput {
 public:
  explicit MemoryArchive(std::string bytes) : bytes_(std::move(bytes)) {}
  std::uint64_t Size() override { return bytes_.size(); }
  void Seek(std::uint64_t position) override {
    ++seeks;
    position_ = position;
  }
  std::size_t Read(unsigned char* buffer, std::size_t count) override {
    largest_read = std::max(largest_read, count);
    const std::size_t n = position_ >= bytes_.size()
                              ? 0
                              : std::min<std::size_t>(count, bytes_.size() - position_);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    bytes_read += n;
    return n;
  }
  int seeks = 0;
  std::size_t largest_read = 0;
  std::uint64_t bytes_read = 0;

 private:
  std::string bytes_;
  std::uint64_t position_ = 0;
};

struct FakeFile {
  std::string data;
  std::optional<LocalDateTime> times;
  std::optional<std::uint32_t> attributes;
  int creations = 0;
};

// Paths are taken as given; relative ones resolve below "C:\work\".
class MemoryTarget : public ExtractionTarget {
 public:
  std::map<std::wstring, FakeFile> files;
  std::set<std::wstring> folders;
  std::vector<std::wstring> log;  // "folder <path>", "create <path>", "finish", "close"
  std::set<std::wstring> locked;  // files that cannot be created: "Access is denied."
  std::size_t disk_space = SIZE_MAX;
  std::size_t largest_write = 0;

  std::wstring FullPath(const std::wstring& path) override {
    const bool absolute = path.size() >= 2 && (path[1] == L':' || path[0] == L'\\');
    return absolute ? path : L"C:\\work\\" + path;
  }
  void MakeFolders(const std::wstring& folder) override {
    log.push_back(L"folder " + folder);
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos;
         at = folder.find(L'\\', at + 1)) {
      folders.insert(folder.substr(0, at));
    }
    folders.insert(folder);
  }
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override {
    const std::wstring folder = FolderOf(path);
    if (!folder.empty() && !folders.count(FullPath(folder))) {
      reason = L"The system cannot find the path specified";  // as SystemMessage gives it
      return nullptr;
    }
    if (locked.count(path) || folders.count(path) ||
        (files.count(path) && files[path].attributes.value_or(0) & 0x01)) {
      reason = L"Access is denied";
      return nullptr;
    }
    log.push_back(L"create " + path);
    FakeFile& file = files[path];
    file.data.clear();
    ++file.creations;
    return std::make_unique<File>(*this, file);
  }
  void Remove(const std::wstring& path) override {
    log.push_back(L"remove " + path);
    files.erase(path);
  }

 private:
  class File : public OutputFile {
   public:
    File(MemoryTarget& target, FakeFile& file) : target_(target), file_(file) {}
    ~File() override { target_.log.push_back(L"close"); }
    bool Write(const unsigned char* data, std::size_t size) override {
      target_.largest_write = std::max(target_.largest_write, size);
      const std::size_t fits = std::min(size, target_.disk_space);
      target_.disk_space -= fits;
      file_.data.append(reinterpret_cast<const char*>(data), fits);
      return fits == size;
    }
    void Finish(const std::optional<LocalDateTime>& time,
                std::optional<std::uint32_t> attributes) override {
      target_.log.push_back(L"finish");
      file_.times = time;
      file_.attributes = attributes;
    }

   private:
    MemoryTarget& target_;
    FakeFile& file_;
  };
};

}  // namespace zip_test
