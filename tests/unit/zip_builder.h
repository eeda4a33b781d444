#pragma once
// Builds small ZIP archives field by field, so that a test can damage exactly the field it
// is about. Header-only: the Wine tests use it too.
#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zip_test {

// 2024-03-01 12:00:00 as MS-DOS date (high 16 bits) and time (low 16 bits).
inline constexpr std::uint32_t kMarch2024Noon = 0x58616000;

inline void Put16(std::string& out, std::uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void Patch16(std::string& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<char>(v & 0xFF);
  out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline std::uint32_t Crc32(const std::string& data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

// Raw Deflate, as ZIP stores it.
inline std::string Deflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

// An Info-ZIP Unicode Path record: tag 0x7075, size, version 1, CRC-32, UTF-8 name.
inline std::string UnicodePathRecord(std::uint32_t name_crc, const std::string& utf8_name) {
  std::string out;
  Put16(out, 0x7075);
  Put16(out, static_cast<std::uint32_t>(5 + utf8_name.size()));
  out += '\x01';
  Put32(out, name_crc);
  return out + utf8_name;
}

struct Entry {
  std::string name;                        // the name bytes of both headers
  std::string data;                        // what the entry unpacks to
  std::uint16_t method = 8;                // 0 stores `data`, 8 deflates it
  std::uint16_t flag = 0;                  // both headers
  std::uint16_t made_by = 0x0014;          // MS-DOS
  std::uint32_t external_attributes = 0x20;
  std::uint32_t date_time = kMarch2024Noon;  // both headers
  std::string local_extra;
  std::optional<std::string> local_name;   // a local name other than `name`
  std::optional<std::string> payload;      // the data bytes, instead of `data` packed
  std::optional<std::uint32_t> crc;        // the central CRC-32, instead of `data`'s
  std::optional<std::uint32_t> size;       // the central size, instead of `data`'s
  std::optional<std::size_t> shares_local_header_of;  // an earlier entry's index
};

struct Built {
  std::string bytes;
  std::vector<std::size_t> local_offsets;
  std::vector<std::size_t> central_offsets;
  std::size_t end_offset = 0;
};

struct Archive {
  std::vector<Entry> entries;
  std::string comment;
  std::optional<std::uint32_t> directory_offset;
  std::optional<std::uint16_t> total_entries;

  Built BuildWithOffsets() const {
    Built b;
    std::vector<std::string> payloads;
    for (const Entry& e : entries) {
      payloads.push_back(e.payload ? *e.payload : e.method == 8 ? Deflate(e.data) : e.data);
      if (e.shares_local_header_of) {
        b.local_offsets.push_back(b.local_offsets[*e.shares_local_header_of]);
        continue;
      }
      const std::string& name = e.local_name ? *e.local_name : e.name;
      // With flag bit 3 the local header leaves CRC-32 and sizes to the data descriptor.
      const bool descriptor = (e.flag & 0x08) != 0;
      b.local_offsets.push_back(b.bytes.size());
      std::string& o = b.bytes;
      Put32(o, 0x04034B50);
      Put16(o, 20);
      Put16(o, e.flag);
      Put16(o, e.method);
      Put32(o, e.date_time);
      Put32(o, descriptor ? 0 : Crc32(e.data));
      Put32(o, descriptor ? 0 : static_cast<std::uint32_t>(payloads.back().size()));
      Put32(o, descriptor ? 0 : static_cast<std::uint32_t>(e.data.size()));
      Put16(o, static_cast<std::uint32_t>(name.size()));
      Put16(o, static_cast<std::uint32_t>(e.local_extra.size()));
      o += name + e.local_extra + payloads.back();
      if (descriptor) {
        Put32(o, 0x08074B50);
        Put32(o, Crc32(e.data));
        Put32(o, static_cast<std::uint32_t>(payloads.back().size()));
        Put32(o, static_cast<std::uint32_t>(e.data.size()));
      }
    }
    const std::size_t directory = b.bytes.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      std::string& o = b.bytes;
      b.central_offsets.push_back(o.size());
      Put32(o, 0x02014B50);
      Put16(o, e.made_by);
      Put16(o, 20);
      Put16(o, e.flag);
      Put16(o, e.method);
      Put32(o, e.date_time);
      Put32(o, e.crc ? *e.crc : Crc32(e.data));
      Put32(o, static_cast<std::uint32_t>(payloads[i].size()));
      Put32(o, e.size ? *e.size : static_cast<std::uint32_t>(e.data.size()));
      Put16(o, static_cast<std::uint32_t>(e.name.size()));
      Put16(o, 0);  // extra field
      Put16(o, 0);  // comment
      Put16(o, 0);  // disk
      Put16(o, 0);  // internal attributes
      Put32(o, e.external_attributes);
      Put32(o, static_cast<std::uint32_t>(b.local_offsets[i]));
      o += e.name;
    }
    b.end_offset = b.bytes.size();
    std::string& o = b.bytes;
    const std::uint32_t count = total_entries ? *total_entries : entries.size();
    Put32(o, 0x06054B50);
    Put16(o, 0);
    Put16(o, 0);
    Put16(o, count);
    Put16(o, count);
    Put32(o, static_cast<std::uint32_t>(b.end_offset - directory));
    Put32(o, directory_offset ? *directory_offset : static_cast<std::uint32_t>(directory));
    Put16(o, static_cast<std::uint32_t>(comment.size()));
    o += comment;
    return b;
  }
  std::string Build() const { return BuildWithOffsets().bytes; }
};

}  // namespace zip_test
