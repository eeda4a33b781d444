#include "posix_extraction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "transfer/zip_names.h"

std::string NarrowPath(const std::wstring& path) {
  std::string out;
  for (const wchar_t wc : path) {
    const char32_t c = wc == L'\\' ? U'/' : static_cast<char32_t>(wc);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring WidePath(const std::string& path) { return DecodeUtf8(path); }

PosixArchive::PosixArchive(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY)) {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    std::perror(path.c_str());
    std::exit(2);
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

PosixArchive::~PosixArchive() { ::close(fd_); }

void PosixArchive::Seek(std::uint64_t position) {
  ++seeks;
  ::lseek(fd_, static_cast<off_t>(position), SEEK_SET);
}

std::size_t PosixArchive::Read(unsigned char* buffer, std::size_t count) {
  ++reads;
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, buffer + done, count - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

namespace {

class PosixFile : public OutputFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }
  bool Write(const unsigned char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n <= 0) return false;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }
  void Finish(const std::optional<LocalDateTime>& time, std::optional<std::uint32_t> attributes) override {
    if (attributes && (*attributes & 0x01)) ::fchmod(fd_, 0444);
    if (time) SetTimes(*time);
  }
  std::unique_ptr<ArchiveInput> KeepForReading() override { std::abort(); }  // the extraction never reads back

 private:
  void SetTimes(const LocalDateTime& time) {
    // A package's entries mostly share one time: mktime is asked once for it.
    static LocalDateTime last{};
    static time_t last_utc = -1;
    if (last_utc == -1 || std::memcmp(&last, &time, sizeof time) != 0) {
      struct tm t {};
      t.tm_year = time.year - 1900;
      t.tm_mon = time.month - 1;
      t.tm_mday = time.day;
      t.tm_hour = time.hour;
      t.tm_min = time.minute;
      t.tm_sec = time.second;
      t.tm_isdst = -1;
      last = time;
      last_utc = ::mktime(&t);
    }
    const struct timespec stamps[2] = {{last_utc, 0}, {last_utc, 0}};
    ::futimens(fd_, stamps);
  }

  int fd_;
};

}  // namespace

std::wstring PosixTarget::FullPath(const std::wstring& path) {
  if (!path.empty() && (path[0] == L'/' || path[0] == L'\\')) return path;
  char cwd[4096];
  if (!::getcwd(cwd, sizeof cwd)) return path;
  return WidePath(cwd) + L"/" + path;
}

void PosixTarget::MakeFolders(const std::wstring& folder) {
  std::string path = NarrowPath(folder);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (::mkdir(path.c_str(), 0755) == 0 || errno != ENOENT) return;
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return;
  MakeFolders(WidePath(path.substr(0, slash)));
  ::mkdir(path.c_str(), 0755);
}

std::unique_ptr<OutputFile> PosixTarget::Create(const std::wstring& path, std::wstring& reason) {
  const int fd = ::open(NarrowPath(path).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    reason = WidePath(std::strerror(errno));
    return nullptr;
  }
  return std::make_unique<PosixFile>(fd);
}

void PosixTarget::Remove(const std::wstring& path) { ::unlink(NarrowPath(path).c_str()); }
