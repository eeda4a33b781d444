#pragma once
// The vendor's signatures checked with the system's own cryptography (CNG): SHA-256 and
// ECDSA P-256. bcrypt.dll is no KnownDLL, so it is loaded from the system folder at the
// first use (base/system_library_win32.h), never imported.
#include <vector>

#include "transfer/payload_check.h"

class CngPayloadVerifier : public PayloadVerifier {
 public:
  // `keys` must not be empty; they are imported at the first check.
  explicit CngPayloadVerifier(std::vector<PayloadKey> keys);
  // Raise "Cannot ... with the system's cryptography: <what CNG said>" when CNG fails.
  std::unique_ptr<BodyHash> NewHash() override;
  bool Verify(const Sha256Digest& digest, const RawSignature& signature) override;

 private:
  std::vector<PayloadKey> keys_;
};
