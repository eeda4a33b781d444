#pragma once
// Checking a download against the vendor's keys built into the utility. The Win32 edge
// implements the hash and the verification with CNG, the tests with fakes.
#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "base/error.h"
#include "transfer/payload_signature.h"

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 of a body, fed as it arrives.
class BodyHash {
 public:
  virtual ~BodyHash() = default;
  virtual void Add(const unsigned char* data, std::size_t size) = 0;
  // The digest of everything added; the hash is spent then.
  virtual Sha256Digest Finish() = 0;
};

class PayloadVerifier {
 public:
  virtual ~PayloadVerifier() = default;
  // A fresh hash. Raises Error when the system's cryptography cannot be had.
  virtual std::unique_ptr<BodyHash> NewHash() = 0;
  // Whether `signature` is one of any built-in key over `digest`. Raises Error when the
  // system's cryptography cannot be had.
  virtual bool Verify(const Sha256Digest& digest, const RawSignature& signature) = 0;
};

// The hash of the body being written, when there are keys to check it against; without
// them every call does nothing. Each byte is added where it is written to the file.
class BodyDigest {
 public:
  explicit BodyDigest(PayloadVerifier* verifier) : verifier_(verifier) { Restart(); }
  // Forgets what was added: the body starts again from its first byte.
  void Restart() {
    if (verifier_) hash_ = verifier_->NewHash();
  }
  void Add(const unsigned char* data, std::size_t size) {
    if (hash_) hash_->Add(data, size);
  }
  bool Checked() const { return verifier_ != nullptr; }
  Sha256Digest Finish() { return hash_->Finish(); }

 private:
  PayloadVerifier* verifier_;
  std::unique_ptr<BodyHash> hash_;
};

// A download that is not what the vendor signed, or whose signature could not be had.
// reason() is the tail of a sentence saying why, for the caller to name the download:
// "the signature does not match".
class PayloadRefused : public Error {
 public:
  PayloadRefused(const std::wstring& url, std::wstring reason);
  const std::wstring& reason() const noexcept { return reason_; }

 private:
  std::wstring reason_;
};

// The file "<url>" is not signed by the vendor's key: <reason>
std::wstring NotSignedText(const std::wstring& subject, const std::wstring& url, const std::wstring& reason);

// The reason for a signature that is well-formed but made by no built-in key, or over
// other bytes.
std::wstring SignatureMismatchReason();
