#pragma once
// A file being written, by the download and by the extraction alike: created, written,
// finished with its time and attributes, and removed when it must not stay behind.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transfer/archive_input.h"
#include "transfer/dos_date_time.h"

// One file being written; closed when it is destroyed, on every path.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Appends the bytes whole; false when they could not all be written (disk full).
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
  // Empties the file and writes on from its start: a download whose server sends the
  // whole body again. False when that failed; a file that never starts again (an
  // extraction's) need not support it.
  virtual bool Truncate() { return false; }
  // The file is complete and stays once closed. A download's file is otherwise marked to
  // be deleted when its handle closes, so that even a program that ends while the
  // transfer still runs leaves no partial file; others need not do anything here.
  virtual void Keep() {}
  // Once the data is written, and only then: sets the creation and last-write times to a
  // local wall-clock time, turned into UTC by the time zone's rule for that date, and the
  // MS-DOS attributes (read-only 0x01, hidden 0x02, system 0x04, archive 0x20; no bit
  // set means normal), each only when given. One step through the file being written:
  // setting attributes by name costs several round trips to the server under Wine, for
  // every file of a package of thousands. What cannot be set is left as it is, without
  // a word.
  virtual void Finish(const std::optional<LocalDateTime>& time,
                      std::optional<std::uint32_t> attributes) = 0;
  // Once the data is written: the same open file, to be read from its start. It stays
  // closed to everyone else until the reader is destroyed; this object owns nothing then.
  virtual std::unique_ptr<ArchiveInput> KeepForReading() = 0;
};

class OutputFiles {
 public:
  virtual ~OutputFiles() = default;
  // Creates the file at `path` for reading and writing, shared with no one; a file of
  // that name is truncated and reused. Null when that is impossible (folder missing,
  // file locked or read-only, access denied); `reason` then holds the system's message.
  virtual std::unique_ptr<OutputFile> Create(const std::wstring& path, std::wstring& reason) = 0;
  // Deletes the file at `path`, which must be closed; a failure is not reported.
  virtual void Remove(const std::wstring& path) = 0;
  // The bytes this account may still write on the volume of `folder` (quotas included);
  // nothing when that cannot be told, and then no one is refused for want of space. An
  // empty `folder` is the current one.
  virtual std::optional<std::uint64_t> FreeBytes(const std::wstring& folder) {
    (void)folder;
    return std::nullopt;
  }
};
