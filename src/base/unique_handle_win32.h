#pragma once
// One owner for every Windows handle: move-only, closed on every path out of its scope.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;
  explicit UniqueHandle(Handle h = Traits::Empty()) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;  // a copy would close twice
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  Handle release() { return std::exchange(h_, Traits::Empty()); }
  void reset(Handle h = Traits::Empty()) {
    if (h_ != Traits::Empty()) Traits::Close(h_);
    h_ = h;
  }
  explicit operator bool() const { return h_ != Traits::Empty(); }

 private:
  Handle h_;
};

// Toolhelp snapshots and CreateFileW fail with INVALID_HANDLE_VALUE.
struct InvalidIsEmptyTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
// OpenProcess and most other kernel calls fail with NULL.
struct NullIsEmptyTraits {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
struct FileSearchTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};
struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};

using UniqueFile = UniqueHandle<InvalidIsEmptyTraits>;
using UniqueSnapshot = UniqueHandle<InvalidIsEmptyTraits>;
using UniqueProcess = UniqueHandle<NullIsEmptyTraits>;
using UniqueKernelHandle = UniqueHandle<NullIsEmptyTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueFileSearch = UniqueHandle<FileSearchTraits>;
