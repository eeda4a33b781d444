#pragma once
// Files and folders in memory, for the download and the extraction alike: what was made,
// in order, and every fault the cleanup can have (a file left open, one removed while
// still open, one left behind).
#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "transfer/extraction_target.h"
#include "transfer/zip_paths.h"

struct FakeFile {
  std::string data;
  std::optional<LocalDateTime> times;
  std::optional<std::uint32_t> attributes;
  int creations = 0;
};

// A file being written is visible at its path at once, as on disk. Paths are taken as
// given; relative ones resolve below "C:\work\".
class MemoryFiles : public ExtractionTarget {
 public:
  std::map<std::wstring, FakeFile> files;
  std::set<std::wstring> folders;
  bool folders_must_exist = false;  // Create fails in a folder not made by MakeFolders
  std::vector<std::wstring> log;    // "folder <path>", "create <path>", "finish", "close", "remove <path>"
  std::set<std::wstring> locked;    // files that cannot be created: "Access is denied"
  std::wstring create_failure;      // non-empty: every Create fails with this system message
  std::size_t disk_space = SIZE_MAX;  // bytes left; a write that does not fit stops where it fills the disk
  std::vector<std::size_t> write_sizes;
  std::size_t largest_write = 0;
  std::vector<std::wstring> removed;
  int open_files = 0;
  bool removed_while_open = false;
  int creates = 0;
  std::optional<std::uint64_t> free_bytes;  // what FreeBytes answers; nothing: unknown
  std::vector<std::wstring> free_asked;     // the folders FreeBytes was asked about

  bool Exists(const std::wstring& path) const { return files.count(path) != 0; }

  std::wstring FullPath(const std::wstring& path) override {
    const bool absolute = path.size() >= 2 && (path[1] == L':' || path[0] == L'\\');
    return absolute ? path : L"C:\\work\\" + path;
  }
  void MakeFolders(const std::wstring& folder) override {
    log.push_back(L"folder " + folder);
    for (std::size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
      folders.insert(folder.substr(0, at));
    }
    folders.insert(folder);
  }
  std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) override {
    free_asked.push_back(folder);
    return free_bytes;
  }
  std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) override {
    ++creates;
    if (!create_failure.empty()) {
      reason = create_failure;
      return nullptr;
    }
    const std::wstring folder = FolderOf(path);
    if (folders_must_exist && !folder.empty() && !folders.count(FullPath(folder))) {
      reason = L"The system cannot find the path specified";  // as SystemMessage gives it
      return nullptr;
    }
    if (locked.count(path) || folders.count(path) || (files.count(path) && files[path].attributes.value_or(0) & 0x01)) {
      reason = L"Access is denied";
      return nullptr;
    }
    log.push_back(L"create " + path);
    FakeFile& file = files[path];
    file.data.clear();
    ++file.creations;
    return std::make_unique<File>(*this, path);
  }
  void Remove(const std::wstring& path) override {
    if (open_files != 0) removed_while_open = true;
    log.push_back(L"remove " + path);
    removed.push_back(path);
    files.erase(path);
  }

 private:
  class Reader : public ArchiveInput {
   public:
    Reader(MemoryFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) { ++owner_.open_files; }
    ~Reader() override {
      --owner_.open_files;
      owner_.log.push_back(L"close");
    }
    std::uint64_t Size() override { return owner_.files[path_].data.size(); }
    void Seek(std::uint64_t position) override { at_ = position; }
    std::size_t Read(unsigned char* buffer, std::size_t count) override {
      const std::string& data = owner_.files[path_].data;
      const std::size_t n = at_ < data.size() ? std::min<std::size_t>(count, data.size() - at_) : 0;
      std::copy_n(data.data() + at_, n, buffer);
      at_ += n;
      return n;
    }

   private:
    MemoryFiles& owner_;
    std::wstring path_;
    std::uint64_t at_ = 0;
  };

  class File : public OutputFile {
   public:
    File(MemoryFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) { ++owner_.open_files; }
    ~File() override {
      --owner_.open_files;
      owner_.log.push_back(L"close");
    }
    bool Write(const unsigned char* data, std::size_t size) override {
      owner_.write_sizes.push_back(size);
      owner_.largest_write = std::max(owner_.largest_write, size);
      const std::size_t fits = std::min(size, owner_.disk_space);
      owner_.disk_space -= fits;
      owner_.files[path_].data.append(reinterpret_cast<const char*>(data), fits);
      return fits == size;
    }
    bool Truncate() override {
      owner_.log.push_back(L"truncate");
      if (owner_.disk_space != SIZE_MAX) owner_.disk_space += owner_.files[path_].data.size();
      owner_.files[path_].data.clear();
      return true;
    }
    void Finish(const std::optional<LocalDateTime>& time, std::optional<std::uint32_t> attributes) override {
      owner_.log.push_back(L"finish");
      FakeFile& file = owner_.files[path_];
      file.times = time;
      file.attributes = attributes;
    }
    // Reads the file's bytes as they stand at each read, and keeps it counted as open.
    std::unique_ptr<ArchiveInput> KeepForReading() override {
      owner_.log.push_back(L"keep open");
      return std::make_unique<Reader>(owner_, path_);
    }

   private:
    MemoryFiles& owner_;
    std::wstring path_;
  };
};
