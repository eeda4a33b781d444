#include "transfer/zip_names.h"

#include <zlib.h>

namespace {

// Code page 437, 0x80 to 0xFF, as the Unicode consortium publishes it (CP437.TXT).
const char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint16_t kUnicodePathTag = 0x7075;

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

}  // namespace

void AppendCodePoint(std::wstring& text, char32_t code_point) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (code_point > 0xFFFF) {
      const char32_t v = code_point - 0x10000;
      text.push_back(static_cast<wchar_t>(0xD800 + (v >> 10)));
      text.push_back(static_cast<wchar_t>(0xDC00 + (v & 0x3FF)));
      return;
    }
  }
  text.push_back(static_cast<wchar_t>(code_point));
}

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      text.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t code_point = 0;
    // The second byte's range rules out overlong forms, surrogates and values past
    // U+10FFFF (Unicode's table 3-7).
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code_point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code_point = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code_point = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      AppendCodePoint(text, kReplacement);
      ++i;
      continue;
    }
    std::size_t taken = 1;
    for (; taken < length && i + taken < bytes.size(); ++taken) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + taken]);
      if (next < low || next > high) break;
      code_point = (code_point << 6) | (next & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    AppendCodePoint(text, taken == length ? code_point : kReplacement);
    i += taken;
  }
  return text;
}

std::wstring DecodeCp437(std::string_view bytes) {
  std::wstring text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const unsigned char b = static_cast<unsigned char>(c);
    text.push_back(static_cast<wchar_t>(b < 0x80 ? b : kCp437High[b - 0x80]));
  }
  return text;
}

std::wstring DecodeEntryName(std::string_view central_name, std::uint16_t central_flag,
                             std::string_view local_name, std::string_view local_extra) {
  // Every byte position is tried, not record after record, so a tag may also be found
  // inside another record's data; only the first one found is looked at.
  for (std::size_t at = 0; at + 1 < local_extra.size(); ++at) {
    if (LittleEndian(local_extra, at, 2) != kUnicodePathTag) continue;
    // Tag, size, version, CRC-32, then the name: all of it must lie inside the field.
    if (at + 9 > local_extra.size()) break;
    const std::size_t size = LittleEndian(local_extra, at + 2, 2);
    if (size < 5 || size > local_extra.size() - at - 4) break;
    const std::uint32_t stored_crc = LittleEndian(local_extra, at + 5, 4);
    const std::uint32_t name_crc = static_cast<std::uint32_t>(
        crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(local_name.data()),
              static_cast<uInt>(local_name.size())));
    // A differing CRC-32 means the name was changed by a tool that knew nothing of the
    // record, so the record is stale.
    if (stored_crc != name_crc) break;
    return DecodeUtf8(local_extra.substr(at + 9, size - 5));
  }
  if (central_flag & 0x0800) return DecodeUtf8(central_name);
  return DecodeCp437(central_name);
}
