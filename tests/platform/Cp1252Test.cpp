#include <gtest/gtest.h>

#include "platform/Cp1252.h"

namespace norv {
namespace {

// Windows-1252 bytes and the UTF-8 of the same text.
struct Pair {
  const char* cp1252;
  const char* utf8;
};
constexpr Pair kPairs[] = {
    {"PLAIN.TXT", "PLAIN.TXT"},
    {"A\xC7\xC3O.TXT", "A\xC3\x87\xC3\x83O.TXT"},                          // AÇÃO
    {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},                      // € Ÿ ÿ
    {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned
};

TEST(Cp1252Test, ConvertsToUtf8AndBack) {
  for (const auto& p : kPairs) {
    EXPECT_EQ(Cp1252ToUtf8(p.cp1252), p.utf8);
    EXPECT_EQ(Utf8ToCp1252(p.utf8), std::optional<std::string>(p.cp1252));
    EXPECT_EQ(Utf16ToCp1252Exact(Cp1252ToUtf16(p.cp1252)), std::optional<std::string>(p.cp1252));
  }
  // Every byte has a character, so every name survives the round trip.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252Test, ExactConversionsRefuseWhatHasNoByte) {
  for (const char* utf8 : {
           "\xE6\x97\xA5",      // a character without a byte
           "\xFF",              // not UTF-8
           "A\xC3",             // cut short
           "\xC0\xAF",          // over-long "/"
           "\xE0\x80\xAF",      // over-long "/"
           "\xED\xA0\x80",      // an encoded surrogate
           "\xF0\x9F\x98\x80",  // outside the BMP
           "\xC3\x28",          // a lead byte without its continuation
       }) {
    EXPECT_EQ(Utf8ToCp1252(utf8), std::nullopt) << utf8;
  }
  EXPECT_EQ(Utf16ToCp1252Exact(u"\u65E5"), std::nullopt);
  EXPECT_EQ(Utf16ToCp1252Exact(u"\xD83D\xDE00"), std::nullopt);
  // The lenient form still gives "?" as the system does.
  EXPECT_EQ(Utf16ToCp1252(u"A\u65E5\xD83D\xDE00"), "A??");
}

}  // namespace
}  // namespace norv
