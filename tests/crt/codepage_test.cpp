#include "platform/crt/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(Codepage, ChineseTextBothWays) {
    const std::string utf8 = "生命:";
    const std::string cp936 = "\xC9\xFA\xC3\xFC:";
    std::string out;
    ASSERT_TRUE(crt::Utf8ToCp936(utf8, out));
    EXPECT_EQ(out, cp936);
    ASSERT_TRUE(crt::Cp936ToUtf8(cp936, out));
    EXPECT_EQ(out, utf8);
    EXPECT_EQ(crt::Cp936ToUtf8("\xB3\xF5\xBC\xB6(&E)"), "初级(&E)");
    EXPECT_EQ(crt::Utf8ToCp936(""), "");
}

TEST(Codepage, StrictConversionsRejectBadInput) {
    std::string out = "stale";
    // A lead byte without its trail byte at the end.
    EXPECT_FALSE(crt::Cp936ToUtf8("ab\xC9", out));
    EXPECT_TRUE(out.empty());
    // Malformed UTF-8, and a character code page 936 does not have.
    EXPECT_FALSE(crt::Utf8ToCp936("a\xFF", out));
    EXPECT_FALSE(crt::Utf8ToCp936("x\xF0\x9F\x98\x80", out));
}

TEST(Codepage, LenientConversionsReplaceWhatDoesNotConvert) {
    EXPECT_EQ(crt::Cp936ToUtf8("ab\xC9"), "ab?");
    EXPECT_EQ(crt::Utf8ToCp936("a\xF0\x9F\x98\x80"
                               "b"),
              "a?b");
    EXPECT_EQ(crt::Utf8ToCp936("生\xFF命"), "\xC9\xFA?\xC3\xFC");
}

TEST(Codepage, LengthAndTruncationCountCodePageBytes) {
    EXPECT_EQ(crt::Cp936Length("中文ab"), 6u);
    EXPECT_EQ(crt::Cp936Length(""), 0u);
    // A character is never cut in half.
    EXPECT_EQ(crt::TruncateToCp936Bytes("中文ab", 3), "中");
    EXPECT_EQ(crt::TruncateToCp936Bytes("中文ab", 5), "中文a");
    EXPECT_EQ(crt::TruncateToCp936Bytes("中文ab", 60), "中文ab");
    std::string sixtyOne(61, 'x');
    EXPECT_EQ(crt::TruncateToCp936Bytes(sixtyOne, 60).size(), 60u);
}

}  // namespace
