// Times GetInetFile (window, progress bar, a pump per read) against a reference loop of
// plain 3072-byte InternetReadFile calls, each waiting for a whole block, on a request
// opened as WinInetSource opens it, with the same writes and a pump per block but no bar;
// round-robin in one run, medians reported. The time spent in the bar's steps is shown
// apart, since a redraw is what a step can cost.
//
//   download_bench.exe <url> <output folder> [rounds]
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/unique_handle_win32.h"
#include "transfer/downloader_win32.h"
#include "transfer/get_inet_file.h"
#include "transfer/message_pump_win32.h"
#include "transfer/output_files_win32.h"
#include "transfer/wininet_functions_win32.h"
#include "ui/progress_bar_win32.h"

namespace {

// Counts what reaches the control, to show how much of the redrawing was spared.
class CountingBar : public ProgressBarWin32 {
 public:
  using ProgressBarWin32::ProgressBarWin32;
  int positions_told = 0;
  double step_seconds = 0;

  void StepBy(int delta) override {
    LARGE_INTEGER start{}, end{}, frequency{};
    ::QueryPerformanceCounter(&start);
    ProgressBarWin32::StepBy(delta);
    ::QueryPerformanceCounter(&end);
    ::QueryPerformanceFrequency(&frequency);
    step_seconds += static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
  }

 protected:
  void TellPosition(int position) override {
    ++positions_told;
    ProgressBarWin32::TellPosition(position);
  }
};

struct Window {
  HWND frame = nullptr;
  HWND bar = nullptr;
};

// The utility's bottom edge: a visible window with a 454 x 27 bar, range 0..100.
Window MakeWindow() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = ::DefWindowProcW;
  window_class.hInstance = ::GetModuleHandleW(nullptr);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = L"DownloadBench";
  ::RegisterClassW(&window_class);
  Window window;
  window.frame = ::CreateWindowExW(0, window_class.lpszClassName, L"download bench",
                                   WS_OVERLAPPEDWINDOW, 20, 20, 470, 120, nullptr, nullptr,
                                   window_class.hInstance, nullptr);
  window.bar = ::CreateWindowExW(0, PROGRESS_CLASSW, nullptr, WS_CHILD | WS_VISIBLE, 0, 40, 454,
                                 27, window.frame, nullptr, window_class.hInstance, nullptr);
  ::ShowWindow(window.frame, SW_SHOW);
  ::UpdateWindow(window.frame);
  return window;
}

// The same transfer without a bar: one blocking read, one write and one pump per block.
std::uint64_t ReferenceLoop(const std::wstring& url, const std::wstring& path) {
  URL_COMPONENTSW parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = 1;
  if (!::InternetCrackUrlW(url.c_str(), 0, 0, &parts)) throw Error(L"bad url");
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring object(parts.lpszUrlPath, parts.dwUrlPathLength);
  UniqueInternet session(::InternetOpenW(L"download_bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  UniqueInternet connection(::InternetConnectW(session.get(), host.c_str(), parts.nPort, nullptr, nullptr,
                                               INTERNET_SERVICE_HTTP, 0, 0));
  UniqueInternet request(::HttpOpenRequestW(connection.get(), L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT,
                                            0));
  if (!request || !::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) throw Error(L"request failed");
  WindowsOutputFiles files;
  QueuePumpWin32 pump;
  std::wstring reason;
  std::unique_ptr<OutputFile> file = files.Create(path, reason);
  if (!file) throw Error(reason);
  unsigned char buffer[BufferSize];
  std::uint64_t total = 0;
  DWORD delivered = 0;
  do {
    if (!::InternetReadFile(request.get(), buffer, BufferSize, &delivered)) throw Error(L"read failed");
    if (delivered != 0 && !file->Write(buffer, delivered)) throw Error(L"Stream write error");
    total += delivered;
    pump.HandlePending();
  } while (delivered != 0);
  file.reset();
  return total;
}

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double PeakWorkingSetMb() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
  return counters.PeakWorkingSetSize / 1e6;
}

template <typename Body>
double Seconds(Body body) {
  const auto start = std::chrono::steady_clock::now();
  body();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: download_bench <url> <output folder> [rounds]\n");
    return 2;
  }
  const std::wstring url = argv[1];
  const std::wstring folder = argv[2];
  const int rounds = argc > 3 ? std::max(1, _wtoi(argv[3])) : 5;
  const std::wstring reference_path = folder + L"\\reference.bin";
  const std::wstring download_path = folder + L"\\download.bin";

  Window window = MakeWindow();
  CountingBar bar(window.bar);
  WinInetDownloader downloader;
  std::vector<double> reference_rates, download_rates, ratios;
  std::uint64_t size = 0;
  const double peak_before = PeakWorkingSetMb();

  try {
    // Warm up the connection and the file system once, untimed.
    ReferenceLoop(url, reference_path);
    for (int round = 0; round < rounds; ++round) {
      ::DeleteFileW(reference_path.c_str());
      ::DeleteFileW(download_path.c_str());
      std::uint64_t received = 0;
      const auto reference = [&] { received = ReferenceLoop(url, reference_path); };
      const auto download = [&] { downloader.GetInetFile(url, download_path, bar); };
      bar.positions_told = 0;
      bar.step_seconds = 0;
      // Alternate which goes first, so that a drift in the machine's load favours neither.
      double reference_s = 0, download_s = 0;
      if (round % 2 == 0) {
        reference_s = Seconds(reference);
        download_s = Seconds(download);
      } else {
        download_s = Seconds(download);
        reference_s = Seconds(reference);
      }
      size = FileSize(download_path);
      if (size != received || FileSize(reference_path) != received) {
        std::fprintf(stderr, "size mismatch: %llu vs %llu\n",
                     static_cast<unsigned long long>(size),
                     static_cast<unsigned long long>(received));
        return 1;
      }
      const double reference_rate = received / reference_s / 1e6;
      const double download_rate = received / download_s / 1e6;
      reference_rates.push_back(reference_rate);
      download_rates.push_back(download_rate);
      ratios.push_back(download_rate / reference_rate);
      std::printf("round %d: reference %.2f s (%.1f MB/s), GetInetFile %.2f s (%.1f MB/s), "
                  "ratio %.2f, bar redraws %d, in the bar's steps %.2f s, blocks %llu\n",
                  round + 1, reference_s, reference_rate, download_s, download_rate,
                  download_rate / reference_rate, bar.positions_told, bar.step_seconds,
                  static_cast<unsigned long long>((received + BufferSize - 1) / BufferSize));
      std::fflush(stdout);
    }
  } catch (const Error& e) {
    std::fprintf(stderr, "transfer failed: %s\n", e.what());
    return 1;
  }
  ::DeleteFileW(reference_path.c_str());
  ::DeleteFileW(download_path.c_str());

  std::printf("body: %llu bytes, %d rounds\n", static_cast<unsigned long long>(size), rounds);
  std::printf("median reference loop: %.1f MB/s\n", Median(reference_rates));
  std::printf("median GetInetFile:    %.1f MB/s\n", Median(download_rates));
  std::printf("median ratio (same round): %.2f (goal >= 0.95)\n", Median(ratios));
  std::printf("final bar: range 0..%d, position %d\n",
              static_cast<int>(::SendMessageW(window.bar, PBM_GETRANGE, FALSE, 0)),
              static_cast<int>(::SendMessageW(window.bar, PBM_GETPOS, 0, 0)));
  std::printf("peak working set: %.1f MB before the transfers, %.1f MB after\n", peak_before,
              PeakWorkingSetMb());
  return 0;
}
