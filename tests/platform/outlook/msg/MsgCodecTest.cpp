// The byte-level pieces of the message file format: UTF-16 and code page strings, FILETIME
// values and the property stream.
#include "platform/outlook/msg/MsgEncoding.h"
#include "platform/outlook/msg/MsgPropertyStream.h"
#include "platform/outlook/msg/MsgPropertyTags.h"
#include "platform/runtime/DateTime.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace msgfile {
namespace {

struct Utf16Case {
    std::string utf8;
    std::string utf16;
};

class Utf16RoundTrip : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16RoundTrip, EncodesAndDecodes)
{
    EXPECT_EQ(Utf8ToUtf16Le(GetParam().utf8), GetParam().utf16);
    EXPECT_EQ(Utf16LeToUtf8(GetParam().utf16), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, Utf16RoundTrip,
                         testing::Values(Utf16Case{"", ""}, Utf16Case{"A", "A\0"s}, Utf16Case{"\xC3\xA9", "\xE9\0"s},
                                         Utf16Case{"\xE2\x82\xAC", "\xAC\x20"s},
                                         Utf16Case{"\xF0\x9F\x98\x80", "\x3D\xD8\x00\xDE"s}));

class Utf16Encode : public testing::TestWithParam<Utf16Case> {};

TEST_P(Utf16Encode, RepairsInvalidText)
{
    EXPECT_EQ(Utf8ToUtf16Le(GetParam().utf8), GetParam().utf16);
}

INSTANTIATE_TEST_SUITE_P(Damaged, Utf16Encode,
                         testing::Values(Utf16Case{"a\xFF"
                                                   "b",
                                                   "a\0\xFD\xFF"
                                                   "b\0"s},  // no UTF-8 byte
                                         Utf16Case{"a\0b"s,
                                                   "a\0\xFD\xFF"
                                                   "b\0"s},                           // a NUL
                                         Utf16Case{"\xC0\x80", "\xFD\xFF\xFD\xFF"s},  // overlong
                                         Utf16Case{"\xED\xA0\x80"
                                                   "a",
                                                   "\xFD\xFF\xFD\xFF\xFD\xFF"
                                                   "a\0"s},                             // surrogate
                                         Utf16Case{"\xE2\x82", "\xFD\xFF\xFD\xFF"s}));  // cut short

struct DecodeCase {
    std::string bytes;
    std::string utf8;
};

class Utf16Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Utf16Decode, ToleratesAnyBytes) { EXPECT_EQ(Utf16LeToUtf8(GetParam().bytes), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(Damaged, Utf16Decode,
                         testing::Values(DecodeCase{"A\0B\0\0\0C\0"s, "AB"},          // stops at the terminator
                                         DecodeCase{"A\0B"s, "A"},                    // odd last byte
                                         DecodeCase{"\x3D\xD8" "A\0"s, "\xEF\xBF\xBD" "A"},  // lone high surrogate
                                         DecodeCase{"\x00\xDE"s, "\xEF\xBF\xBD"}));   // lone low surrogate

struct String8Case {
    std::string bytes;
    std::uint32_t codepage;
    std::string utf8;
};

class String8Decode : public testing::TestWithParam<String8Case> {};

TEST_P(String8Decode, UsesTheCodePage) { EXPECT_EQ(DecodeString8(GetParam().bytes, GetParam().codepage), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(
    CodePages, String8Decode,
    testing::Values(String8Case{"caf\xE9", 1252, "caf\xC3\xA9"}, String8Case{"\x80", 0, "\xE2\x82\xAC"},
                    String8Case{"\xC3\xA9", 65001, "\xC3\xA9"}, String8Case{"\xCF\xF0\xE8", 1251, "\xD0\x9F\xD1\x80\xD0\xB8"},
                    String8Case{"\xE9", 28591, "\xC3\xA9"}, String8Case{"abc\0junk"s, 1252, "abc"},
                    String8Case{"x\xC3\xA9", 99999, "x\xC3\xA9"},   // unknown code page, valid UTF-8
                    String8Case{"x\xE9", 99999, "x\xC3\xA9"},       // unknown code page: Windows-1252
                    String8Case{"\x81", 1252, "\xC2\x81"}));        // undefined in 1252: Latin-1

TEST(FileTime, UnixEpochAndBack)
{
    EXPECT_EQ(FileTimeFromUnix(0), 116444736000000000ull);
    EXPECT_EQ(FileTimeFromUnix(1, 5), 116444736010000050ull);
    EXPECT_EQ(UnixFromFileTime(FileTimeFromUnix(1700000000)), 1700000000);
    EXPECT_EQ(FileTimeFromUnix(-11644473601LL), 0u);
}

TEST(FileTime, FromLocalDateTime)
{
    EXPECT_EQ(FileTimeFromDateTime(0), 0u);
    const TDateTime dt = EncodeDate(2021, 3, 4) + EncodeTime(5, 6, 7, 0);
    EXPECT_EQ(FileTimeFromDateTime(dt), FileTimeFromUnix(DateTimeToTimeT(dt)));
    EXPECT_EQ(FileTimeFromDateTime(1e300), 0u);
}

std::string Le(std::uint64_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

TEST(PropertyStream, TopMessageHeaderAndEntries)
{
    PropertyStreamBuilder b;
    b.AddVariable(MakeTag(kSubject, kTypeUnicode), 10);
    b.AddFixed(MakeTag(kMessageFlags, kTypeLong), 1);
    b.AddObject(MakeTag(kAttachData, kTypeObject));
    b.AddVariable(MakeTag(kHtml, kTypeBinary), 7);
    const std::string bytes = b.Build(StorageKind::TopMessage, 2, 3);
    const std::string expected = std::string(8, '\0') + Le(2, 4) + Le(3, 4) + Le(2, 4) + Le(3, 4) + std::string(8, '\0') +
                                 Le(0x0037001F, 4) + Le(6, 4) + Le(12, 8) +      // string: size counts the terminator
                                 Le(0x0E070003, 4) + Le(6, 4) + Le(1, 8) +       // sorted by tag
                                 Le(0x10130102, 4) + Le(6, 4) + Le(7, 8) +
                                 Le(0x3701000D, 4) + Le(7, 4) + Le(0x1FFFFFFFFull, 8);
    EXPECT_EQ(bytes, expected);

    const auto entries = ParsePropertyStream(bytes, StorageKind::TopMessage);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].tag, 0x0E070003u);
    EXPECT_EQ(entries[1].value, 1u);
    EXPECT_EQ(entries[0].value, 12u);
}

TEST(PropertyStream, HeaderSizesAndDamage)
{
    PropertyStreamBuilder b;
    b.AddFixed(MakeTag(kRecipientType, kTypeLong), 2);
    EXPECT_EQ(b.Build(StorageKind::Child).size(), 8u + 16u);
    EXPECT_EQ(b.Build(StorageKind::EmbeddedMessage).size(), 24u + 16u);
    const std::string child = b.Build(StorageKind::Child);
    EXPECT_EQ(ParsePropertyStream(child, StorageKind::Child).size(), 1u);
    EXPECT_EQ(ParsePropertyStream(child.substr(0, child.size() - 1), StorageKind::Child).size(), 0u);
    EXPECT_TRUE(ParsePropertyStream("abc", StorageKind::TopMessage).empty());
    // A string entry whose reserved half is garbage still gives its 32-bit size.
    const std::string odd = std::string(8, '\0') + Le(0x3001001F, 4) + Le(6, 4) + Le(0xFFFFFFFF00000010ull, 8);
    EXPECT_EQ(ParsePropertyStream(odd, StorageKind::Child).at(0).value, 16u);
}

TEST(PropertyStream, StreamAndStorageNames)
{
    EXPECT_EQ(SubstgName(0x0037001F), "__substg1.0_0037001F");
    EXPECT_EQ(SubstgName(0x3701000D), "__substg1.0_3701000D");
    EXPECT_EQ(IndexedName(kRecipientPrefix, 10), "__recip_version1.0_#0000000A");
    EXPECT_EQ(IndexedName(kAttachmentPrefix, 0), "__attach_version1.0_#00000000");
}

}  // namespace
}  // namespace msgfile
