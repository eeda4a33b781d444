#include "transfer/output_files_win32.h"

#include <utility>

#include "base/unique_handle_win32.h"
#include "base/system_message_win32.h"

namespace {

class WindowsOutputFile : public OutputFile {
 public:
  explicit WindowsOutputFile(UniqueFile file) : file_(std::move(file)) {}
  bool Write(const unsigned char* data, std::uint32_t size) override {
    DWORD written = 0;
    return ::WriteFile(file_.get(), data, size, &written, nullptr) && written == size;
  }
  void Close() override { file_.reset(); }

 private:
  UniqueFile file_;
};

}  // namespace

std::unique_ptr<OutputFile> WindowsOutputFiles::Create(const std::wstring& path,
                                                       std::wstring& reason) {
  // No sharing: a second download into the same file fails to create it rather than
  // interleaving with the first.
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    reason = SystemMessage(::GetLastError());
    return nullptr;
  }
  return std::make_unique<WindowsOutputFile>(std::move(file));
}

void WindowsOutputFiles::Remove(const std::wstring& path) { ::DeleteFileW(path.c_str()); }
