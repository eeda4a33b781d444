#include "transfer/payload_signature.h"

#include <algorithm>

namespace {

constexpr unsigned char kSequence = 0x30;
constexpr unsigned char kInteger = 0x02;

// Reads one tag and its short-form length at `at`; the content starts at the new `at`.
bool ReadHeader(const std::vector<unsigned char>& der, std::size_t& at, unsigned char tag, std::size_t& length,
                const std::wstring& what, std::wstring& fault) {
  if (at + 2 > der.size()) {
    fault = L"the signature ends inside its " + what;
    return false;
  }
  if (der[at] != tag) {
    fault = L"the signature's " + what + L" is not where DER puts it";
    return false;
  }
  if (der[at + 1] & 0x80) {
    fault = L"the signature's " + what + L" has a length in long form";
    return false;
  }
  length = der[at + 1];
  at += 2;
  if (length > der.size() - at) {
    fault = L"the signature ends inside its " + what;
    return false;
  }
  return true;
}

bool ReadInteger(const std::vector<unsigned char>& der, std::size_t& at, const std::wstring& name,
                 unsigned char* out, std::wstring& fault) {
  std::size_t length = 0;
  if (!ReadHeader(der, at, kInteger, length, name, fault)) return false;
  if (length == 0) {
    fault = L"the signature's " + name + L" is empty";
    return false;
  }
  const unsigned char* value = der.data() + at;
  at += length;
  // A top bit set in the first byte makes a DER integer negative.
  if (value[0] & 0x80) {
    fault = L"the signature's " + name + L" is negative";
    return false;
  }
  if (value[0] == 0 && length > 1) {
    if (!(value[1] & 0x80)) {
      fault = L"the signature's " + name + L" has a needless leading zero";
      return false;
    }
    ++value;
    --length;
  }
  if (length > 32) {
    fault = L"the signature's " + name + L" is longer than 32 bytes";
    return false;
  }
  if (std::all_of(value, value + length, [](unsigned char byte) { return byte == 0; })) {
    fault = L"the signature's " + name + L" is zero";
    return false;
  }
  std::fill(out, out + 32 - length, 0);
  std::copy(value, value + length, out + 32 - length);
  return true;
}

}  // namespace

std::optional<RawSignature> ParseDerSignature(const std::vector<unsigned char>& der, std::wstring& fault) {
  if (der.empty()) {
    fault = L"the signature is empty";
    return std::nullopt;
  }
  std::size_t at = 0;
  std::size_t length = 0;
  if (!ReadHeader(der, at, kSequence, length, L"sequence", fault)) return std::nullopt;
  if (at + length != der.size()) {
    fault = L"the signature has bytes after its end";
    return std::nullopt;
  }
  RawSignature raw{};
  if (!ReadInteger(der, at, L"r", raw.data(), fault)) return std::nullopt;
  if (!ReadInteger(der, at, L"s", raw.data() + 32, fault)) return std::nullopt;
  if (at != der.size()) {
    fault = L"the signature's sequence holds more than r and s";
    return std::nullopt;
  }
  return raw;
}
