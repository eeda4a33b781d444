#pragma once
// Where the ZIP reader puts what it unpacks: folders, files, their times and attributes.
// The reader decides every path and every rule; the target only carries them out.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "transfer/dos_date_time.h"

// One file being written; closed when it is destroyed, on every path.
class ExtractedFile {
 public:
  virtual ~ExtractedFile() = default;
  // Appends the bytes whole; false when they could not all be written (disk full).
  virtual bool Write(const unsigned char* data, std::size_t size) = 0;
  // Once the data is written, and only then: sets the creation and last-write times to a
  // local wall-clock time, turned into UTC by the time zone's rule for that date, and the
  // MS-DOS attributes (read-only 0x01, hidden 0x02, system 0x04, archive 0x20; no bit
  // set means normal), each only when given. One step through the file being written:
  // setting attributes by name costs several round trips to the server under Wine, for
  // every file of a package of thousands. What cannot be set is left as it is, without
  // a word.
  virtual void Finish(const std::optional<LocalDateTime>& time,
                      std::optional<std::uint32_t> attributes) = 0;
};

class ExtractionTarget {
 public:
  virtual ~ExtractionTarget() = default;
  // `path` made absolute, as the file system would resolve it from the current folder.
  virtual std::wstring FullPath(const std::wstring& path) = 0;
  // Creates the folder and every missing parent; a folder that exists already is fine.
  // A folder that cannot be made is not reported: creating a file in it fails instead.
  virtual void MakeFolders(const std::wstring& folder) = 0;
  // Creates the file for reading and writing, shared with no one, replacing a file of
  // that name. Null when that is impossible; `reason` then holds the system's message.
  virtual std::unique_ptr<ExtractedFile> Create(const std::wstring& path,
                                                std::wstring& reason) = 0;
  // Deletes a closed file that must not stay behind; the answer is not examined.
  virtual void Remove(const std::wstring& path) = 0;
};
