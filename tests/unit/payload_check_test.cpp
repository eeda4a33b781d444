#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "download_fakes.h"

namespace {

const std::wstring kUrl = L"http://127.0.0.1:47831/install/download/Setup1C.zip";
const std::wstring kPath = L"C:\\Users\\tester\\Downloads\\KalveraDownload\\update_pack.zip";

// The DER form of the fake key's signature: r = 0x01 0x02 ... 0x20, s = 0x21 ... 0x40.
std::string DerOf(const RawSignature& raw) {
  std::string der = "\x30\x44\x02\x20";
  der.append(raw.begin(), raw.begin() + 32);
  der += "\x02\x20";
  der.append(raw.begin() + 32, raw.end());
  return der;
}

struct SignedRig : TransferRig {
  FakeVerifier verifier;
  SignedRig() {
    system.verifier = &verifier;
    for (int i = 0; i < 64; ++i) verifier.signature[i] = static_cast<unsigned char>(i + 1);
    verifier.signed_body = PatternBody(20000);
    http.next.content_length = 20000;
    http.next.body = verifier.signed_body;
    http.at[kUrl + L".sig"].body = DerOf(verifier.signature);
  }
};

}  // namespace

// Each refusal removes the file: a package that failed its check must not be there for
// anything to unpack or start later.
TEST(GetInetFile, WithAKeyKeepsOnlyABodyWhoseSignatureVerifies) {
  struct Case {
    const char* what;
    std::function<void(SignedRig&)> arrange;
    std::optional<std::wstring> reason;  // none: kept
    std::wstring logged;
  } cases[] = {
      {"signed", [](SignedRig&) {}, std::nullopt, L"verified"},
      {"setup program replaced, old signature",
       [](SignedRig& r) { r.http.next.body[15000] ^= 0x01; }, L"the signature does not match", L"does not match"},
      {"signed by another key", [](SignedRig& r) { r.verifier.signature[63] ^= 0x01; },
       L"the signature does not match", L"does not match"},
      {"no signature on the server", [](SignedRig& r) { r.http.at[kUrl + L".sig"].status = 404; },
       L"its signature could not be downloaded. Cannot download \"" + kUrl + L".sig\". ", L"cannot be downloaded"},
      {"an error page for a signature",
       [](SignedRig& r) { r.http.at[kUrl + L".sig"].body = "<html><body>Not found</body></html>"; },
       L"its signature is not a DER-encoded ECDSA signature: the signature's sequence is not where DER puts it",
       L"not a DER signature"},
      {"a body longer than any signature",
       [](SignedRig& r) { r.http.at[kUrl + L".sig"].body = std::string(73, '\x30'); },
       L"its signature could not be downloaded. Cannot download \"" + kUrl +
           L".sig\". The body is longer than the 72 bytes it can have",
       L"cannot be downloaded"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SignedRig rig;
    c.arrange(rig);
    std::optional<std::wstring> raised;
    try {
      rig.Run(kUrl, kPath);
    } catch (const PayloadRefused& refused) {
      raised = refused.reason();
    }
    EXPECT_EQ(rig.http.requested, (std::vector<std::wstring>{kUrl, kUrl + L".sig"}));
    EXPECT_EQ(rig.facts.signature, c.logged);
    if (!c.reason) {
      EXPECT_FALSE(raised.has_value()) << ::testing::PrintToString(*raised);
      EXPECT_EQ(rig.files.files[kPath].data, rig.verifier.signed_body);
      continue;
    }
    ASSERT_TRUE(raised.has_value());
    EXPECT_EQ(raised->substr(0, c.reason->size()), *c.reason);
    EXPECT_FALSE(rig.files.Exists(kPath));
    EXPECT_FALSE(rig.files.removed_while_open);
  }
}

TEST(GetInetFile, WithoutAKeyAsksForTheFileAlone) {
  TransferRig rig;
  rig.http.next.content_length = 300;
  rig.http.next.body = PatternBody(300);
  EXPECT_TRUE(rig.Run(kUrl, kPath));
  EXPECT_EQ(rig.http.requested, std::vector<std::wstring>{kUrl});
  EXPECT_EQ(rig.facts.signature, L"");
}

// What the extraction reads is the handle that wrote and checked the file, still open.
TEST(GetInetFileOpen, HandsOverTheCheckedFileStillOpenAndRemovesARefusedOne) {
  SignedRig rig;
  std::unique_ptr<ArchiveInput> held = rig.RunOpen(kUrl, kPath);
  ASSERT_TRUE(held);
  EXPECT_EQ(rig.files.open_files, 1);
  std::string read(20000, '\0');
  ASSERT_EQ(held->Size(), 20000u);
  EXPECT_EQ(held->Read(reinterpret_cast<unsigned char*>(read.data()), read.size()), 20000u);
  EXPECT_EQ(read, rig.verifier.signed_body);
  held.reset();
  EXPECT_EQ(rig.files.open_files, 0);
  EXPECT_TRUE(rig.files.Exists(kPath));

  SignedRig tampered;
  tampered.http.next.body[0] ^= 0x01;
  EXPECT_THROW(tampered.RunOpen(kUrl, kPath), PayloadRefused);
  EXPECT_EQ(tampered.files.open_files, 0);
  EXPECT_FALSE(tampered.files.Exists(kPath));
}
