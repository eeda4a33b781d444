#include "transfer/cng_verifier_win32.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <string>
#include <utility>

#include "base/error.h"
#include "base/system_library_win32.h"
#include "base/unique_handle_win32.h"

namespace {

struct BCryptFunctions {
  decltype(&::BCryptOpenAlgorithmProvider) BCryptOpenAlgorithmProvider;
  decltype(&::BCryptCloseAlgorithmProvider) BCryptCloseAlgorithmProvider;
  decltype(&::BCryptCreateHash) BCryptCreateHash;
  decltype(&::BCryptHashData) BCryptHashData;
  decltype(&::BCryptFinishHash) BCryptFinishHash;
  decltype(&::BCryptDestroyHash) BCryptDestroyHash;
  decltype(&::BCryptImportKeyPair) BCryptImportKeyPair;
  decltype(&::BCryptDestroyKey) BCryptDestroyKey;
  decltype(&::BCryptVerifySignature) BCryptVerifySignature;
};

// Bound once; raises Error when bcrypt.dll or one of them cannot be had, and the next
// call tries again.
const BCryptFunctions& BCrypt() {
  static const BCryptFunctions functions = [] {
    const SystemLibrary library(L"bcrypt.dll");
    BCryptFunctions f{};
    library.Bind(f.BCryptOpenAlgorithmProvider, "BCryptOpenAlgorithmProvider");
    library.Bind(f.BCryptCloseAlgorithmProvider, "BCryptCloseAlgorithmProvider");
    library.Bind(f.BCryptCreateHash, "BCryptCreateHash");
    library.Bind(f.BCryptHashData, "BCryptHashData");
    library.Bind(f.BCryptFinishHash, "BCryptFinishHash");
    library.Bind(f.BCryptDestroyHash, "BCryptDestroyHash");
    library.Bind(f.BCryptImportKeyPair, "BCryptImportKeyPair");
    library.Bind(f.BCryptDestroyKey, "BCryptDestroyKey");
    library.Bind(f.BCryptVerifySignature, "BCryptVerifySignature");
    return f;
  }();
  return functions;
}

struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { BCrypt().BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { BCrypt().BCryptDestroyHash(h); }
};
struct KeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle Empty() { return nullptr; }
  static void Close(Handle h) { BCrypt().BCryptDestroyKey(h); }
};
using UniqueAlgorithm = UniqueHandle<AlgorithmTraits>;
using UniqueHash = UniqueHandle<HashTraits>;
using UniqueKey = UniqueHandle<KeyTraits>;

// CNG answers with NTSTATUS codes, which have no text in the system's message table a
// person would read; the code in hex is what support can look up.
[[noreturn]] void Fail(const std::wstring& what, NTSTATUS status) {
  wchar_t code[16];
  swprintf(code, 16, L"0x%08lX", static_cast<unsigned long>(status));
  throw Error(L"Cannot " + what + L" with the system's cryptography (CNG status " + code + L")");
}

UniqueAlgorithm OpenAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE handle = nullptr;
  const NTSTATUS status = BCrypt().BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0);
  if (status != 0) Fail(std::wstring(L"open ") + name, status);
  return UniqueAlgorithm(handle);
}

class CngHash : public BodyHash {
 public:
  CngHash() : algorithm_(OpenAlgorithm(BCRYPT_SHA256_ALGORITHM)) {
    BCRYPT_HASH_HANDLE handle = nullptr;
    // No object buffer: since Windows 7 CNG keeps the hash object itself.
    const NTSTATUS status = BCrypt().BCryptCreateHash(algorithm_.get(), &handle, nullptr, 0, nullptr, 0, 0);
    if (status != 0) Fail(L"start a SHA-256 hash", status);
    hash_.reset(handle);
  }
  void Add(const unsigned char* data, std::size_t size) override {
    const NTSTATUS status =
        BCrypt().BCryptHashData(hash_.get(), const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0);
    if (status != 0) Fail(L"hash the download", status);
  }
  Sha256Digest Finish() override {
    Sha256Digest digest{};
    const NTSTATUS status = BCrypt().BCryptFinishHash(hash_.get(), digest.data(), digest.size(), 0);
    if (status != 0) Fail(L"finish the download's hash", status);
    return digest;
  }

 private:
  UniqueAlgorithm algorithm_;  // outlives the hash made from it
  UniqueHash hash_;
};

}  // namespace

CngPayloadVerifier::CngPayloadVerifier(std::vector<PayloadKey> keys) : keys_(std::move(keys)) {}

std::unique_ptr<BodyHash> CngPayloadVerifier::NewHash() { return std::make_unique<CngHash>(); }

bool CngPayloadVerifier::Verify(const Sha256Digest& digest, const RawSignature& signature) {
  const UniqueAlgorithm ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  for (const PayloadKey& key : keys_) {
    // BCRYPT_ECCKEY_BLOB's header, then X and Y, each big-endian as the key file has them.
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
    const BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, key.x.data(), 32);
    std::memcpy(blob + sizeof header + 32, key.y.data(), 32);
    BCRYPT_KEY_HANDLE handle = nullptr;
    NTSTATUS status = BCrypt().BCryptImportKeyPair(ecdsa.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &handle, blob,
                                                   sizeof blob, 0);
    if (status != 0) Fail(L"import the vendor's key", status);
    const UniqueKey imported(handle);
    status = BCrypt().BCryptVerifySignature(imported.get(), nullptr, const_cast<PUCHAR>(digest.data()),
                                            digest.size(), const_cast<PUCHAR>(signature.data()),
                                            signature.size(), 0);
    // STATUS_INVALID_SIGNATURE is the answer for another key or other bytes; any other
    // failure is the same to the person: this key does not vouch for the file.
    if (status == 0) return true;
  }
  return false;
}
