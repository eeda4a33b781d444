#include "transfer/zip_directory.h"

#include <algorithm>
#include <array>

#include "base/error.h"
#include "transfer/zip_fields.h"

namespace {

constexpr std::uint32_t kEndSignature = 0x06054B50;
constexpr std::uint32_t kCentralSignature = 0x02014B50;
constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kCentralFixedSize = 42;  // after the signature

[[noreturn]] void ErrorReadingZipFile() { throw Error(L"Error reading zip file"); }

}  // namespace

EndRecord FindEndRecord(ArchiveBuffer& archive) {
  const std::uint64_t size = archive.size();
  const std::uint64_t span = std::min(size, kEndRecordSearchSpan);
  std::array<unsigned char, kEndRecordWindow> window;
  std::uint64_t back = 4;
  while (back < span) {
    // Windows overlap by four bytes, so a signature across their border is still seen.
    back = std::min(back + (kEndRecordWindow - 4), span);
    const std::uint64_t start = size - back;
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kEndRecordWindow, back));
    archive.Seek(start);
    if (archive.Read(window.data(), length) != length) ErrorReadingZipFile();
    for (std::size_t i = length - 4 + 1; i-- > 0;) {
      if (ReadLe32(window.data() + i) != kEndSignature) continue;
      if (start + i + kEndRecordSize > size) continue;
      std::array<unsigned char, kEndRecordSize> record;
      archive.Seek(start + i);
      if (archive.Read(record.data(), record.size()) != record.size()) ErrorReadingZipFile();
      EndRecord end;
      end.total_entries = ReadLe16(record.data() + 10);
      end.directory_offset = ReadLe32(record.data() + 16);
      return end;
    }
  }
  ErrorReadingZipFile();
}

std::vector<ZipEntry> ReadCentralDirectory(ArchiveBuffer& archive, const EndRecord& end) {
  std::vector<ZipEntry> entries;
  // The count comes from the file; a header takes at least 46 bytes of it.
  entries.reserve(std::min<std::uint64_t>(end.total_entries, archive.size() / 46 + 1));
  archive.Seek(end.directory_offset);
  std::array<unsigned char, kCentralFixedSize> fixed;
  for (unsigned k = 0; k < end.total_entries; ++k) {
    unsigned char signature[4];
    if (archive.Read(signature, 4) != 4 || ReadLe32(signature) != kCentralSignature) {
      throw Error(L"Invalid Zip Central Header signature");
    }
    if (archive.Read(fixed.data(), fixed.size()) != fixed.size()) ErrorReadingZipFile();
    const unsigned char* f = fixed.data();
    ZipEntry entry;
    entry.made_by_version = ReadLe16(f + 0);
    entry.flag = ReadLe16(f + 4);
    entry.compression_method = ReadLe16(f + 6);
    entry.crc32 = ReadLe32(f + 12);
    entry.uncompressed_size = ReadLe32(f + 20);
    const std::uint16_t name_length = ReadLe16(f + 24);
    const std::uint16_t extra_length = ReadLe16(f + 26);
    const std::uint16_t comment_length = ReadLe16(f + 28);
    entry.external_attributes = ReadLe32(f + 34);
    entry.local_header_offset = ReadLe32(f + 38);
    entry.file_name.resize(name_length);
    if (archive.Read(reinterpret_cast<unsigned char*>(entry.file_name.data()), name_length) !=
        name_length) {
      ErrorReadingZipFile();
    }
    // The central extra field and comment are not used, but must be there.
    if (!archive.Skip(extra_length) || !archive.Skip(comment_length)) ErrorReadingZipFile();
    entries.push_back(std::move(entry));
  }
  return entries;
}
