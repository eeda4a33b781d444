#pragma once
// How an entry's name bytes become text.
#include <cstdint>
#include <string>
#include <string_view>

// Appends one code point: as itself where wchar_t holds 32 bits, as a surrogate pair
// beyond U+FFFF where it holds UTF-16.
void AppendCodePoint(std::wstring& text, char32_t code_point);

// UTF-8 as text. A malformed sequence (a stray continuation byte, an overlong form, an
// encoded surrogate, a sequence cut short) gives one U+FFFD for each maximal bad part.
std::wstring DecodeUtf8(std::string_view bytes);

// The original IBM PC code page, byte for byte, by the published table: the control
// codes stay control codes, 0x80 to 0xFF are letters, box drawing and symbols.
std::wstring DecodeCp437(std::string_view bytes);

// The entry's name. From the Info-ZIP Unicode Path record (tag 0x7075) in the local extra
// field when the CRC-32 it holds matches the local name's bytes; otherwise the central
// name, as UTF-8 when bit 11 of the central flag says so and as code page 437 when not.
std::wstring DecodeEntryName(std::string_view central_name, std::uint16_t central_flag,
                             std::string_view local_name, std::string_view local_extra);
