// The reference the reader is measured against: the least a zlib extractor must do, with
// the same 64 KiB input and 61,440-byte output blocks. It trusts the central directory's
// compressed sizes, checks nothing (no CRC-32, no name rules), sets no times or
// attributes, and reads each entry with a seek to its local header.
//   zip_bench_bare <archive> <dest-folder>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kInputBlock = 65536;
constexpr std::size_t kOutputBlock = 61440;

struct Entry {
  std::string name;
  std::uint16_t method;
  std::uint32_t compressed, size, offset;
};

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "bare: %s\n", what);
  std::exit(1);
}

void ReadAt(int fd, std::uint64_t at, unsigned char* out, std::size_t n) {
  if (::pread(fd, out, n, static_cast<off_t>(at)) != static_cast<ssize_t>(n)) Fail("short read");
}

void WriteAll(int fd, const unsigned char* p, std::size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w <= 0) Fail("write");
    p += w;
    n -= static_cast<std::size_t>(w);
  }
}

void MakeFolders(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0 || errno != ENOENT) return;
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return;
  MakeFolders(path.substr(0, slash));
  ::mkdir(path.c_str(), 0755);
}

std::vector<Entry> CentralDirectory(int fd) {
  struct stat st {};
  ::fstat(fd, &st);
  const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, 65535 + 22));
  std::vector<unsigned char> end(tail);
  ReadAt(fd, size - tail, end.data(), tail);
  std::size_t at = tail - 22 + 1;
  while (at-- > 0 && Le32(&end[at]) != 0x06054B50) {
  }
  if (at == static_cast<std::size_t>(-1)) Fail("no end record");
  const unsigned count = Le16(&end[at + 10]);
  std::vector<unsigned char> dir(Le32(&end[at + 12]));
  ReadAt(fd, Le32(&end[at + 16]), dir.data(), dir.size());
  std::vector<Entry> entries;
  const unsigned char* p = dir.data();
  for (unsigned i = 0; i < count; ++i) {
    if (Le32(p) != 0x02014B50) Fail("central header");
    Entry e;
    e.method = Le16(p + 10);
    e.compressed = Le32(p + 20);
    e.size = Le32(p + 24);
    e.offset = Le32(p + 42);
    e.name.assign(reinterpret_cast<const char*>(p + 46), Le16(p + 28));
    entries.push_back(e);
    p += 46 + Le16(p + 28) + Le16(p + 30) + Le16(p + 32);
  }
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <archive> <dest-folder>\n", argv[0]);
    return 2;
  }
  const int fd = ::open(argv[1], O_RDONLY);
  if (fd < 0) Fail("open");
  std::string dest = argv[2];
  while (dest.size() > 1 && dest.back() == '/') dest.pop_back();
  std::vector<unsigned char> input(kInputBlock), output(kOutputBlock);
  std::string folder_made;
  for (const Entry& e : CentralDirectory(fd)) {
    const std::string path = dest + "/" + e.name;
    const std::string folder = path.substr(0, path.rfind('/'));
    if (folder != folder_made) {
      MakeFolders(folder);
      folder_made = folder;
    }
    if (path.back() == '/') continue;
    unsigned char local[30];
    ReadAt(fd, e.offset, local, sizeof local);
    ::lseek(fd, static_cast<off_t>(e.offset) + 30 + Le16(local + 26) + Le16(local + 28), SEEK_SET);
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) Fail(path.c_str());
    std::uint32_t left_in = e.compressed;
    if (e.method == 0) {
      while (left_in > 0) {
        const std::size_t n = std::min<std::size_t>(left_in, kInputBlock);
        if (::read(fd, input.data(), n) != static_cast<ssize_t>(n)) Fail("short read");
        for (std::size_t done = 0; done < n; done += kOutputBlock) {
          WriteAll(out, input.data() + done, std::min(kOutputBlock, n - done));
        }
        left_in -= static_cast<std::uint32_t>(n);
      }
    } else if (e.method == 8) {
      z_stream z{};
      inflateInit2(&z, -MAX_WBITS);
      int code = Z_OK;
      while (code != Z_STREAM_END) {
        if (z.avail_in == 0) {
          const std::size_t n = std::min<std::size_t>(left_in, kInputBlock);
          if (n == 0 || ::read(fd, input.data(), n) != static_cast<ssize_t>(n)) Fail("short read");
          left_in -= static_cast<std::uint32_t>(n);
          z.next_in = input.data();
          z.avail_in = static_cast<uInt>(n);
        }
        z.next_out = output.data();
        z.avail_out = kOutputBlock;
        code = inflate(&z, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END) Fail("inflate");
        WriteAll(out, output.data(), kOutputBlock - z.avail_out);
      }
      inflateEnd(&z);
    } else {
      Fail("method");
    }
    ::close(out);
  }
  ::close(fd);
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  std::fprintf(stderr, "peak_rss_kib %ld\n", usage.ru_maxrss);
  return 0;
}
