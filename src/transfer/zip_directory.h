#pragma once
// The archive's table of contents: the end record and the central directory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "transfer/archive_buffer.h"

// What the extraction takes from a central directory file header.
struct ZipEntry {
  std::uint16_t made_by_version = 0;  // high byte: the host system, 0 for MS-DOS
  std::uint16_t flag = 0;
  std::uint16_t compression_method = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t uncompressed_size = 0;
  std::uint32_t external_attributes = 0;
  std::uint32_t local_header_offset = 0;
  std::string file_name;  // the bytes as stored
};

struct EndRecord {
  std::uint16_t total_entries = 0;
  std::uint32_t directory_offset = 0;
};

// The comment length is a 16-bit field, so the record starts within the last 64 KiB.
inline constexpr std::uint64_t kEndRecordSearchSpan = 65535;
inline constexpr std::size_t kEndRecordWindow = 1027;

// Searches the last kEndRecordSearchSpan bytes for the end of central directory record,
// in windows of kEndRecordWindow bytes from the end backwards; the record nearest the end
// wins. A signature too
// close to the end to be followed by a whole record is passed over. Raises "Error reading
// zip file" when a window cannot be read whole or no record is found.
EndRecord FindEndRecord(ArchiveBuffer& archive);

// Reads the central directory's headers in order. Raises "Invalid Zip Central Header
// signature" when a header does not start with its signature (or the directory lies past
// the end of the file), "Error reading zip file" when one is cut short.
std::vector<ZipEntry> ReadCentralDirectory(ArchiveBuffer& archive, const EndRecord& end);
