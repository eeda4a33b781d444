#pragma once
// The vendor's signature of a download as the servers publish it: an ECDSA P-256
// signature in DER, as `openssl dgst -sha256 -sign` writes it, and its raw form.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// r and s as big-endian numbers of 32 bytes each, r first: what CNG verifies.
using RawSignature = std::array<unsigned char, 64>;

// An ECDSA P-256 public key as the raw coordinates of its point, each big-endian.
struct PayloadKey {
  std::array<unsigned char, 32> x;
  std::array<unsigned char, 32> y;
};

// The largest DER signature of P-256 (two 33-byte integers with their headers inside a
// sequence) is 72 bytes; a body larger than this is not a signature.
inline constexpr std::size_t kMaxSignatureBytes = 72;

// SEQUENCE { INTEGER r, INTEGER s } in DER, strictly: only short lengths (every length
// here is under 128, so a long form is never minimal), nothing after the sequence, each
// integer positive and non-zero, a leading zero byte only where the next byte has its
// top bit set, at most 32 bytes of value; shorter values are left-padded with zeros.
// Nothing when the bytes are anything else; `fault` then says what, as the tail of a
// sentence ("the signature's r has a needless leading zero").
std::optional<RawSignature> ParseDerSignature(const std::vector<unsigned char>& der, std::wstring& fault);
