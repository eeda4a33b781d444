#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "transfer/payload_signature.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Repeat(unsigned char byte, std::size_t count) { return Bytes(count, byte); }

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// INTEGER with the given content bytes, exactly as written.
Bytes Integer(const Bytes& content) {
  return Cat({{0x02, static_cast<unsigned char>(content.size())}, content});
}

Bytes Sequence(const Bytes& content) {
  return Cat({{0x30, static_cast<unsigned char>(content.size())}, content});
}

}  // namespace

// openssl writes r and s minimally: 31 bytes or fewer when the top bytes are zero, 33
// with a zero in front when the top bit is set. Anything looser could let one signature
// be written many ways, which DER exists to rule out.
TEST(ParseDerSignature, TakesOnlyStrictDerAndLeftPadsShortValues) {
  const Bytes r = Cat({{0x11}, Repeat(0x22, 31)});
  const Bytes s = Cat({{0x33}, Repeat(0x44, 31)});
  const Bytes high = Cat({{0x81}, Repeat(0x55, 31)});
  struct Case {
    const char* what;
    Bytes der;
    std::optional<Bytes> raw;  // r then s, 32 bytes each; none: refused
    std::wstring fault = L"";
  } cases[] = {
      {"well-formed", Sequence(Cat({Integer(r), Integer(s)})), Cat({r, s})},
      {"short r", Sequence(Cat({Integer(Repeat(0x22, 31)), Integer(s)})),
       Cat({{0x00}, Repeat(0x22, 31), s})},
      {"one-byte s", Sequence(Cat({Integer(r), Integer({0x07})})), Cat({r, Repeat(0, 31), {0x07}})},
      {"leading zero needed", Sequence(Cat({Integer(Cat({{0x00}, high})), Integer(s)})), Cat({high, s})},
      {"leading zero needed before a short value", Sequence(Cat({Integer(r), Integer({0x00, 0x80})})),
       Cat({r, Repeat(0, 31), {0x80}})},
      {"leading zero not needed", Sequence(Cat({Integer(Cat({{0x00}, r})), Integer(s)})), std::nullopt,
       L"the signature's r has a needless leading zero"},
      {"top bit without the zero", Sequence(Cat({Integer(r), Integer(high)})), std::nullopt,
       L"the signature's s is negative"},
      {"trailing bytes", Cat({Sequence(Cat({Integer(r), Integer(s)})), {0x00}}), std::nullopt,
       L"the signature has bytes after its end"},
      {"a third integer", Sequence(Cat({Integer(r), Integer(s), Integer({0x01})})), std::nullopt,
       L"the signature's sequence holds more than r and s"},
      {"long length of the sequence", Cat({{0x30, 0x81, 0x44}, Integer(r), Integer(s)}), std::nullopt,
       L"the signature's sequence has a length in long form"},
      {"long length of r", Sequence(Cat({{0x02, 0x81, 0x20}, r, Integer(s)})), std::nullopt,
       L"the signature's r has a length in long form"},
      {"33 bytes of value", Sequence(Cat({Integer(Cat({{0x01}, r})), Integer(s)})), std::nullopt,
       L"the signature's r is longer than 32 bytes"},
      {"r zero", Sequence(Cat({Integer({0x00}), Integer(s)})), std::nullopt, L"the signature's r is zero"},
      {"s empty", Sequence(Cat({Integer(r), Integer({})})), std::nullopt, L"the signature's s is empty"},
      {"s missing", Sequence(Integer(r)), std::nullopt, L"the signature ends inside its s"},
      {"cut inside r", {0x30, 0x03, 0x02, 0x21, 0x11}, std::nullopt, L"the signature ends inside its r"},
      {"not a sequence", Cat({{0x31, 0x44}, Integer(r), Integer(s)}), std::nullopt,
       L"the signature's sequence is not where DER puts it"},
      {"empty", {}, std::nullopt, L"the signature is empty"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring fault;
    const std::optional<RawSignature> raw = ParseDerSignature(c.der, fault);
    if (c.raw) {
      ASSERT_TRUE(raw.has_value()) << ::testing::PrintToString(fault);
      EXPECT_EQ(Bytes(raw->begin(), raw->end()), *c.raw);
    } else {
      EXPECT_FALSE(raw.has_value());
      EXPECT_EQ(fault, c.fault);
    }
  }
}
