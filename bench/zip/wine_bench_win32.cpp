// Extraction speed under Wine: UnZipFile against a bare Win32 extractor, round-robin in
// one process, with the kernel32 calls each makes counted. Under Wine a file created
// costs about a third of a millisecond and a positioned read a wineserver round trip, so
// the counts say where a difference comes from. A window is shown meanwhile, as the
// utility's is, so that UnZipFile's turns of the message pump have something to serve.
//   zip_bench_wine <archive> <work-folder> [rounds]
// Each run extracts into a fresh folder <work>\<tool>-<round>; nothing is deleted here,
// since deleting thousands of files between runs slows the next creates (run_wine.sh
// removes the work folder afterwards).
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/error.h"
#include "transfer/archive_file_win32.h"
#include "transfer/extraction_target_win32.h"
#include "transfer/unzip_file_win32.h"
#include "transfer/zip_extractor.h"

namespace {

constexpr DWORD kInputBlock = 65536;
constexpr DWORD kOutputBlock = 61440;

struct Counts {
  long long files_created = 0;    // CreateFileW with CREATE_ALWAYS
  long long reads = 0;            // ReadFile calls
  long long positioned_reads = 0; // ReadFile with an OVERLAPPED offset
  long long seeks = 0;            // SetFilePointerEx / SetFilePointer
  long long writes = 0;
  long long times_and_attributes = 0;  // SetFileTime, SetFileAttributesW, SetFileInformationByHandle
  long long folders = 0;               // CreateDirectoryW
  long long bytes_written = 0;
};
Counts g_counts;

// The originals behind the executable's import table, which is patched to count calls.
decltype(&::CreateFileW) RealCreateFileW;
decltype(&::ReadFile) RealReadFile;
decltype(&::WriteFile) RealWriteFile;
decltype(&::SetFilePointerEx) RealSetFilePointerEx;
decltype(&::SetFilePointer) RealSetFilePointer;
decltype(&::SetFileTime) RealSetFileTime;
decltype(&::SetFileAttributesW) RealSetFileAttributesW;
decltype(&::SetFileInformationByHandle) RealSetFileInformationByHandle;
decltype(&::CreateDirectoryW) RealCreateDirectoryW;

HANDLE WINAPI CountCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE from) {
  if (disposition == CREATE_ALWAYS) ++g_counts.files_created;
  return RealCreateFileW(name, access, share, security, disposition, flags, from);
}
BOOL WINAPI CountReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED at) {
  ++g_counts.reads;
  if (at) ++g_counts.positioned_reads;
  return RealReadFile(file, buffer, size, done, at);
}
BOOL WINAPI CountWriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD done, LPOVERLAPPED at) {
  ++g_counts.writes;
  g_counts.bytes_written += size;
  return RealWriteFile(file, buffer, size, done, at);
}
BOOL WINAPI CountSetFilePointerEx(HANDLE file, LARGE_INTEGER to, PLARGE_INTEGER now, DWORD method) {
  ++g_counts.seeks;
  return RealSetFilePointerEx(file, to, now, method);
}
DWORD WINAPI CountSetFilePointer(HANDLE file, LONG low, PLONG high, DWORD method) {
  ++g_counts.seeks;
  return RealSetFilePointer(file, low, high, method);
}
BOOL WINAPI CountSetFileTime(HANDLE file, const FILETIME* c, const FILETIME* a, const FILETIME* w) {
  ++g_counts.times_and_attributes;
  return RealSetFileTime(file, c, a, w);
}
BOOL WINAPI CountSetFileAttributesW(LPCWSTR name, DWORD attributes) {
  ++g_counts.times_and_attributes;
  return RealSetFileAttributesW(name, attributes);
}
BOOL WINAPI CountSetFileInformationByHandle(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID info, DWORD size) {
  ++g_counts.times_and_attributes;
  return RealSetFileInformationByHandle(file, kind, info, size);
}
BOOL WINAPI CountCreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES security) {
  ++g_counts.folders;
  return RealCreateDirectoryW(name, security);
}

// Routes the executable's calls of `name` through `replacement`; a function it does not
// import is never called, so there is nothing to count.
template <typename F>
void Patch(const char* name, F replacement, F& original) {
  auto* base = reinterpret_cast<unsigned char*>(::GetModuleHandleW(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
    if (_stricmp(reinterpret_cast<char*>(base + dll->Name), "kernel32.dll") != 0) continue;
    auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
    auto* named = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
    for (; named->u1.AddressOfData; ++named, ++slot) {
      if (IMAGE_SNAP_BY_ORDINAL(named->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + named->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD protection = 0;
      ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
      original = reinterpret_cast<F>(slot->u1.Function);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      ::VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
      return;
    }
  }
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "bare: %s (error %lu)\n", what, ::GetLastError());
  std::exit(1);
}

std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t Le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Entry {
  std::wstring name;
  std::uint16_t method;
  std::uint32_t compressed, offset;
};

void ReadExactly(HANDLE file, unsigned char* out, DWORD n) {
  DWORD got = 0;
  if (!::ReadFile(file, out, n, &got, nullptr) || got != n) Fail("short read");
}

void ReadAt(HANDLE file, std::uint64_t at, unsigned char* out, DWORD n) {
  LARGE_INTEGER to{};
  to.QuadPart = static_cast<LONGLONG>(at);
  if (!::SetFilePointerEx(file, to, nullptr, FILE_BEGIN)) Fail("seek");
  ReadExactly(file, out, n);
}

std::wstring Widen(const char* p, std::size_t n, bool utf8) {
  const int size = ::MultiByteToWideChar(utf8 ? CP_UTF8 : 437, 0, p, static_cast<int>(n), nullptr, 0);
  std::wstring out(size, L'\0');
  ::MultiByteToWideChar(utf8 ? CP_UTF8 : 437, 0, p, static_cast<int>(n), out.data(), size);
  std::replace(out.begin(), out.end(), L'/', L'\\');
  return out;
}

std::vector<Entry> CentralDirectory(HANDLE file) {
  LARGE_INTEGER size{};
  ::GetFileSizeEx(file, &size);
  const std::uint64_t total = static_cast<std::uint64_t>(size.QuadPart);
  const DWORD tail = static_cast<DWORD>(std::min<std::uint64_t>(total, 65535 + 22));
  std::vector<unsigned char> end(tail);
  ReadAt(file, total - tail, end.data(), tail);
  std::size_t at = tail - 22 + 1;
  while (at-- > 0 && Le32(&end[at]) != 0x06054B50) {
  }
  if (at == static_cast<std::size_t>(-1)) Fail("no end record");
  std::vector<unsigned char> dir(Le32(&end[at + 12]));
  ReadAt(file, Le32(&end[at + 16]), dir.data(), static_cast<DWORD>(dir.size()));
  std::vector<Entry> entries;
  const unsigned char* p = dir.data();
  for (unsigned i = 0, count = Le16(&end[at + 10]); i < count; ++i) {
    if (Le32(p) != 0x02014B50) Fail("central header");
    Entry e;
    e.method = Le16(p + 10);
    e.compressed = Le32(p + 20);
    e.offset = Le32(p + 42);
    e.name = Widen(reinterpret_cast<const char*>(p + 46), Le16(p + 28), (Le16(p + 8) & 0x800) != 0);
    entries.push_back(e);
    p += 46 + Le16(p + 28) + Le16(p + 30) + Le16(p + 32);
  }
  return entries;
}

void MakeFolders(const std::wstring& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() != ERROR_PATH_NOT_FOUND) return;
  const std::size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos || slash < 3) return;
  MakeFolders(path.substr(0, slash));
  ::CreateDirectoryW(path.c_str(), nullptr);
}

void WriteAll(HANDLE out, const unsigned char* p, DWORD n) {
  DWORD done = 0;
  if (n != 0 && (!::WriteFile(out, p, n, &done, nullptr) || done != n)) Fail("write");
}

// The least a Win32 extractor must do: the central directory's sizes trusted, each entry
// reached by a seek to its local header, 64 KiB reads, 61,440-byte output blocks,
// CREATE_ALWAYS files, no CRC-32, no name rules, no times, no attributes.
void BareExtract(const std::wstring& archive, const std::wstring& dest) {
  HANDLE file = ::CreateFileW(archive.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("open archive");
  std::vector<unsigned char> input(kInputBlock), output(kOutputBlock);
  std::wstring folder_made;
  for (const Entry& e : CentralDirectory(file)) {
    const std::wstring path = dest + e.name;
    const std::wstring folder = path.substr(0, path.rfind(L'\\'));
    if (folder != folder_made) {
      MakeFolders(folder);
      folder_made = folder;
    }
    if (path.back() == L'\\') continue;
    unsigned char local[30];
    ReadAt(file, e.offset, local, sizeof local);
    LARGE_INTEGER data{};
    data.QuadPart = static_cast<LONGLONG>(e.offset) + 30 + Le16(local + 26) + Le16(local + 28);
    if (!::SetFilePointerEx(file, data, nullptr, FILE_BEGIN)) Fail("seek");
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
    if (out == INVALID_HANDLE_VALUE) Fail("create");
    std::uint32_t left_in = e.compressed;
    if (e.method == 0) {
      while (left_in > 0) {
        const DWORD n = std::min<DWORD>(left_in, kInputBlock);
        ReadExactly(file, input.data(), n);
        for (DWORD done = 0; done < n; done += kOutputBlock) {
          WriteAll(out, input.data() + done, std::min(kOutputBlock, n - done));
        }
        left_in -= n;
      }
    } else if (e.method == 8) {
      z_stream z{};
      inflateInit2(&z, -MAX_WBITS);
      int code = Z_OK;
      while (code != Z_STREAM_END) {
        if (z.avail_in == 0) {
          const DWORD n = std::min<DWORD>(left_in, kInputBlock);
          if (n == 0) Fail("short entry");
          ReadExactly(file, input.data(), n);
          left_in -= n;
          z.next_in = input.data();
          z.avail_in = n;
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
    ::CloseHandle(out);
  }
  ::CloseHandle(file);
}

// Stands for the utility's window: visible, so that it has paints and a live queue.
HWND ShowWindowForThePump() {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"ZipBench";
  ::RegisterClassW(&window_class);
  HWND window = ::CreateWindowExW(0, window_class.lpszClassName, L"zip bench", WS_OVERLAPPEDWINDOW, 20, 20,
                                  470, 300, nullptr, nullptr, window_class.hInstance, nullptr);
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
  return window;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zip_bench_wine <archive> <work-folder> [rounds]\n");
    return 2;
  }
  const std::wstring archive = argv[1];
  std::wstring work = argv[2];
  if (work.back() != L'\\') work += L'\\';
  const int rounds = argc > 3 ? _wtoi(argv[3]) : 5;
  ShowWindowForThePump();
  Patch("CreateFileW", &CountCreateFileW, RealCreateFileW);
  Patch("ReadFile", &CountReadFile, RealReadFile);
  Patch("WriteFile", &CountWriteFile, RealWriteFile);
  Patch("SetFilePointerEx", &CountSetFilePointerEx, RealSetFilePointerEx);
  Patch("SetFilePointer", &CountSetFilePointer, RealSetFilePointer);
  Patch("SetFileTime", &CountSetFileTime, RealSetFileTime);
  Patch("SetFileAttributesW", &CountSetFileAttributesW, RealSetFileAttributesW);
  Patch("SetFileInformationByHandle", &CountSetFileInformationByHandle, RealSetFileInformationByHandle);
  Patch("CreateDirectoryW", &CountCreateDirectoryW, RealCreateDirectoryW);

  struct Tool {
    const char* name;
    void (*extract)(const std::wstring&, const std::wstring&);
    std::vector<double> seconds;
    Counts counts;
  } tools[] = {
      {"ours", [](const std::wstring& a, const std::wstring& d) {
         ExtractionFacts facts;
         try {
           UnZipFile(a, d, facts);
         } catch (const Error& e) {
           std::fprintf(stderr, "ours: %ls\n", e.text().c_str());
           std::exit(1);
         }
       },
       {}, {}},
      {"bare", &BareExtract, {}, {}},
      // UnZipFile without its turns of the message pump: what the pump costs, measured
      // in the same rounds rather than across runs of a noisy machine.
      {"no pump", [](const std::wstring& a, const std::wstring& d) {
         try {
           ArchiveFileWin32 archive(a);
           ExtractionTargetWin32 target;
           ExtractionFacts facts;
           ExtractZip(archive, d, target, facts);
         } catch (const Error& e) {
           std::fprintf(stderr, "no pump: %ls\n", e.text().c_str());
           std::exit(1);
         }
       },
       {}, {}},
  };
  constexpr int kTools = sizeof tools / sizeof tools[0];
  LARGE_INTEGER frequency{};
  ::QueryPerformanceFrequency(&frequency);
  for (int r = 0; r < rounds; ++r) {
    for (int i = 0; i < kTools; ++i) {
      Tool& tool = tools[(i + r) % kTools];  // each round starts with another tool
      std::wstring folder(tool.name, tool.name + std::strlen(tool.name));
      std::replace(folder.begin(), folder.end(), L' ', L'-');
      const std::wstring dest = work + folder +
                                L"-" + std::to_wstring(r) + L"\\";
      ::CreateDirectoryW(dest.c_str(), nullptr);
      g_counts = Counts{};
      LARGE_INTEGER start{}, end{};
      ::QueryPerformanceCounter(&start);
      tool.extract(archive, dest);
      ::QueryPerformanceCounter(&end);
      tool.seconds.push_back(static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
      tool.counts = g_counts;
    }
    std::printf("  round %d: ours %.3f s, bare %.3f s, no pump %.3f s\n", r + 1, tools[0].seconds.back(),
                tools[1].seconds.back(), tools[2].seconds.back());
    std::fflush(stdout);
  }
  if (tools[0].counts.bytes_written != tools[1].counts.bytes_written ||
      tools[0].counts.files_created != tools[1].counts.files_created) {
    std::fprintf(stderr, "the two disagree: %lld files, %lld bytes against %lld files, %lld bytes\n",
                 tools[0].counts.files_created, tools[0].counts.bytes_written, tools[1].counts.files_created,
                 tools[1].counts.bytes_written);
    return 1;
  }
  std::printf("\n%-7s %9s %7s %8s %7s %11s %6s %7s %7s %9s\n", "tool", "median s", "MB/s", "created",
              "reads", "positioned", "seeks", "writes", "folders", "times+att");
  for (const Tool& t : tools) {
    const double m = Median(t.seconds);
    std::printf("%-7s %9.3f %7.0f %8lld %7lld %11lld %6lld %7lld %7lld %9lld\n", t.name, m,
                t.counts.bytes_written / 1e6 / m, t.counts.files_created, t.counts.reads, t.counts.positioned_reads,
                t.counts.seeks, t.counts.writes, t.counts.folders, t.counts.times_and_attributes);
  }
  std::printf("\nours' speed / bare's: %.2fx (goal: at least 0.90x)\n", Median(tools[1].seconds) / Median(tools[0].seconds));
  std::printf("without the pump / bare's: %.2fx\n", Median(tools[1].seconds) / Median(tools[2].seconds));
  return 0;
}
