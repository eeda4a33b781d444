#include "transfer/zip_extractor.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/error.h"
#include "transfer/archive_buffer.h"
#include "transfer/free_space.h"
#include "transfer/zip_directory.h"
#include "transfer/zip_entry_data.h"
#include "transfer/zip_fields.h"
#include "transfer/zip_names.h"
#include "transfer/zip_paths.h"

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034B50;
constexpr std::size_t kLocalFixedSize = 26;  // after the signature
constexpr std::uint16_t kEncrypted = 0x0001;
constexpr unsigned kStored = 0;
constexpr unsigned kDeflated = 8;
constexpr std::uint32_t kVolumeLabel = 0x08;  // an MS-DOS attribute no file can carry

struct LocalHeader {
  std::uint16_t flag = 0;
  std::uint32_t date_time = 0;
  std::string file_name;
  std::string extra_field;
};

// Leaves the archive at the first byte of the entry's data.
LocalHeader ReadLocalHeader(ArchiveBuffer& archive) {
  unsigned char signature[4];
  if (archive.Read(signature, 4) != 4 || ReadLe32(signature) != kLocalSignature) {
    throw Error(L"Invalid Zip Local Header signature");
  }
  std::array<unsigned char, kLocalFixedSize> f;
  if (archive.Read(f.data(), f.size()) != f.size()) throw Error(L"Error reading zip file");
  LocalHeader local;
  local.flag = ReadLe16(f.data() + 2);
  local.date_time = ReadLe32(f.data() + 6);
  local.file_name.resize(ReadLe16(f.data() + 22));
  local.extra_field.resize(ReadLe16(f.data() + 24));
  for (std::string* bytes : {&local.file_name, &local.extra_field}) {
    if (archive.Read(reinterpret_cast<unsigned char*>(bytes->data()), bytes->size()) !=
        bytes->size()) {
      throw Error(L"Error reading zip file");
    }
  }
  return local;
}

}  // namespace

std::wstring FileFailureText(const wchar_t* verb, const std::wstring& path,
                             const std::wstring& reason) {
  return std::wstring(L"Cannot ") + verb + L" file \"" + path + L"\". " + reason;
}

void ExtractZip(ArchiveInput& input, const std::wstring& dest_path, ExtractionTarget& target,
                ExtractionFacts& facts) {
  if (input.Size() == 0) throw Error(L"Stream read error");
  ArchiveBuffer archive(input);
  const std::vector<ZipEntry> entries = ReadCentralDirectory(archive, FindEndRecord(archive));
  facts.entries = entries.size();
  // The sizes are the central directory's, which is all that can be known before the
  // first entry; data that claims less fails its own check (the CRC, the length) later.
  std::uint64_t unpacked = 0;
  for (const ZipEntry& entry : entries) unpacked += entry.uncompressed_size;
  const std::wstring dest_folder = target.FullPath(dest_path);
  if (const std::optional<std::wstring> shortage =
          SpaceShortage(dest_folder, target.FreeBytes(dest_folder), unpacked, 1)) {
    throw Error(*shortage);
  }

  EntryCopier copier;
  // Entries of one folder follow each other; its rules and its creation are done once.
  std::wstring folder_made;
  bool any_folder_made = false;
  for (const ZipEntry& entry : entries) {
    archive.Seek(entry.local_header_offset);
    const LocalHeader local = ReadLocalHeader(archive);
    const std::wstring shown_name =
        DecodeEntryName(entry.file_name, entry.flag, local.file_name, local.extra_field);

    // Checked before the method: encrypted entries often carry a method of their own
    // (99 for AES), and "Item not found" would hide the reason.
    if ((entry.flag & kEncrypted) || (local.flag & kEncrypted)) {
      RefuseEntry(shown_name, L"It is encrypted");
    }
    const unsigned method = entry.compression_method & 0xFF;
    if (method != kStored && method != kDeflated) throw Error(L"Item not found");

    std::wstring name = shown_name;
    std::replace(name.begin(), name.end(), L'/', L'\\');
    CheckPathCharacters(name);
    CheckPathCharacters(dest_path);
    CheckNameStaysInside(name, shown_name);
    const std::wstring path = JoinTargetPath(dest_path, name);
    const std::wstring folder = FolderOf(path);
    if (!folder.empty() && !(any_folder_made && folder == folder_made)) {
      const std::wstring absolute = target.FullPath(folder);
      CheckFolderPath(absolute);
      target.MakeFolders(absolute);
      folder_made = folder;
      any_folder_made = true;
    }
    if (!path.empty() && path.back() == L'\\') {  // a folder entry
      ++facts.entries_done;
      continue;
    }

    std::wstring reason;
    std::unique_ptr<OutputFile> file = target.Create(path, reason);
    if (!file) throw Error(FileFailureText(L"create", path, reason));
    try {
      const std::uint32_t crc = method == kStored
                                    ? copier.CopyStored(archive, entry.uncompressed_size, *file)
                                    : copier.CopyInflated(archive, entry.uncompressed_size, *file);
      // The setup program in the package runs with administrator rights: damaged data must
      // stop the chain, not run.
      if (crc != entry.crc32) {
        RefuseEntry(shown_name, L"Its data is damaged: the CRC-32 does not match");
      }
    } catch (...) {
      // A half-written or damaged file must not stay behind looking like the real one.
      file.reset();
      target.Remove(path);
      throw;
    }
    const std::optional<LocalDateTime> time = DecodeDosDateTime(local.date_time);
    std::optional<std::uint32_t> attributes;
    if ((entry.made_by_version >> 8) == 0) attributes = entry.external_attributes & 0xFF & ~kVolumeLabel;
    if (time || attributes) file->Finish(time, attributes);
    file.reset();
    ++facts.entries_done;
    facts.bytes += entry.uncompressed_size;
  }
}
