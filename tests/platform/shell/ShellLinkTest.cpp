#include "platform/shell/LinkText.h"
#include "platform/shell/ShellLink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "tests/support/TempDir.h"

namespace {

std::string FromHex(std::string_view hex)
{
    std::string bytes;
    std::string digits;
    for (const char c : hex) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
        digits += c;
        if (digits.size() == 2) bytes += static_cast<char>(std::stoi(digits, nullptr, 16)), digits.clear();
    }
    return bytes;
}

// The example link of the format's documentation: a shortcut to "C:\test\a.txt" with an
// item-id list, link info, relative path, working folder and a tracker block.
const std::string kPublishedExample = FromHex(R"(
4C 00 00 00 01 14 02 00 00 00 00 00 C0 00 00 00 00 00 00 46 9B 00 08 00 20 00 00 00 D0 E9 EE F2
15 15 C9 01 D0 E9 EE F2 15 15 C9 01 D0 E9 EE F2 15 15 C9 01 00 00 00 00 00 00 00 00 01 00 00 00
00 00 00 00 00 00 00 00 00 00 00 00 BD 00 14 00 1F 50 E0 4F D0 20 EA 3A 69 10 A2 D8 08 00 2B 30
30 9D 19 00 2F 43 3A 5C 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 46 00 31 00 00
00 00 00 2C 39 69 A3 10 00 74 65 73 74 00 00 32 00 07 00 04 00 EF BE 2C 39 65 A3 2C 39 69 A3 26
00 00 00 03 1E 00 00 00 00 F5 1E 00 00 00 00 00 00 00 00 00 00 74 00 65 00 73 00 74 00 00 00 14
00 48 00 32 00 00 00 00 00 2C 39 69 A3 20 00 61 2E 74 78 74 00 34 00 07 00 04 00 EF BE 2C 39 69
A3 2C 39 69 A3 26 00 00 00 2D 6E 00 00 00 00 96 01 00 00 00 00 00 00 00 00 00 00 61 00 2E 00 74
00 78 00 74 00 00 00 14 00 00 00 3C 00 00 00 1C 00 00 00 01 00 00 00 1C 00 00 00 2D 00 00 00 00
00 00 00 3B 00 00 00 11 00 00 00 03 00 00 00 81 8A 7A 30 10 00 00 00 00 43 3A 5C 74 65 73 74 5C
61 2E 74 78 74 00 00 07 00 2E 00 5C 00 61 00 2E 00 74 00 78 00 74 00 07 00 43 00 3A 00 5C 00 74
00 65 00 73 00 74 00 60 00 00 00 03 00 00 A0 58 00 00 00 00 00 00 00 63 68 72 69 73 2D 78 70 73
00 00 00 00 00 00 00 40 78 C7 94 47 FA C7 46 B3 56 5C 2D C6 B6 D1 15 EC 46 CD 7B 22 7F DD 11 94
99 00 13 72 16 87 4A 40 78 C7 94 47 FA C7 46 B3 56 5C 2D C6 B6 D1 15 EC 46 CD 7B 22 7F DD 11 94
99 00 13 72 16 87 4A 00 00 00 00)");

constexpr std::size_t kExampleLinkInfoAt = 0x10B;
constexpr std::size_t kExampleLinkInfoSize = 0x3C;

std::string Utf16(std::string_view ascii)
{
    std::string out;
    for (const char c : ascii) out += c, out += '\0';
    return out;
}

void PutU32(std::string& bytes, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string Le32(std::uint32_t v)
{
    std::string s(4, '\0');
    PutU32(s, 0, v);
    return s;
}

// A header with the given link flags and nothing else.
std::string Header(std::uint32_t flags)
{
    std::string h = kPublishedExample.substr(0, 0x4C);
    PutU32(h, 0x14, flags);
    return h;
}

std::string TargetOf(const std::string& bytes)
{
    const auto link = shell::ReadShellLink(bytes);
    return link ? link->targetPath : "<no link>";
}

}  // namespace

TEST(ShellLinkRead, PublishedExample)
{
    ASSERT_EQ(kPublishedExample.size(), 0x1CBu);
    const auto link = shell::ReadShellLink(kPublishedExample);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->targetPath, "C:\\test\\a.txt");
    EXPECT_EQ(link->description, "");
    EXPECT_EQ(link->fileAttributes, 0x20u);
    EXPECT_EQ(link->writeTime, 0x01C91515F2EEE9D0u);
    EXPECT_EQ(link->fileSize, 0u);
}

TEST(ShellLinkRead, PublishedExampleWithoutLinkInfoFallsBackToItemIdList)
{
    std::string bytes = kPublishedExample;
    bytes.erase(kExampleLinkInfoAt, kExampleLinkInfoSize);
    PutU32(bytes, 0x14, 0x0008009B & ~0x2u);
    EXPECT_EQ(TargetOf(bytes), "C:\\test\\a.txt");
}

TEST(ShellLinkRead, ForceNoLinkInfoIgnoresTheLinkInfo)
{
    std::string bytes = kPublishedExample;
    PutU32(bytes, 0x14, 0x0008009B & ~0x1u);  // no item-id list either
    bytes.erase(0x4C, 2 + 0xBD);
    ASSERT_EQ(TargetOf(bytes), "C:\\test\\a.txt");
    PutU32(bytes, 0x14, (0x0008009B & ~0x1u) | 0x100);
    EXPECT_EQ(TargetOf(bytes), "");
}

// Link info written by hand in the shapes Windows uses: ANSI only, with a common path
// suffix, and network shares.
struct LinkInfoCase {
    const char* name;
    std::string linkInfo;
    std::string target;
};

class ShellLinkInfoRead : public testing::TestWithParam<LinkInfoCase> {};

TEST_P(ShellLinkInfoRead, Target)
{
    const std::string bytes = Header(0x2 | 0x80) + GetParam().linkInfo + Le32(0);
    EXPECT_EQ(TargetOf(bytes), GetParam().target);
}

namespace {

std::string AnsiLocal(std::string_view base, std::string_view suffix)
{
    const std::string volume = Le32(0x11) + Le32(3) + Le32(0) + Le32(0x10) + std::string(1, '\0');
    const std::uint32_t baseAt = 0x1C + volume.size();
    const std::uint32_t suffixAt = baseAt + base.size() + 1;
    const std::string body = volume + std::string(base) + '\0' + std::string(suffix) + '\0';
    return Le32(0x1C + body.size()) + Le32(0x1C) + Le32(1) + Le32(0x1C) + Le32(baseAt) + Le32(0) +
           Le32(suffixAt) + body;
}

std::string UnicodeLocal(std::string_view ansiBase, std::string_view unicodeBase, std::string_view suffix)
{
    const std::string volume = Le32(0x11) + Le32(3) + Le32(0) + Le32(0x10) + std::string(1, '\0');
    const std::uint32_t baseAt = 0x24 + volume.size();
    const std::uint32_t suffixAt = baseAt + ansiBase.size() + 1;
    const std::uint32_t uBaseAt = suffixAt + suffix.size() + 1;
    const std::uint32_t uSuffixAt = uBaseAt + 2 * unicodeBase.size() + 2;
    const std::string body = volume + std::string(ansiBase) + '\0' + std::string(suffix) + '\0' +
                             Utf16(unicodeBase) + std::string(2, '\0') + Utf16(suffix) + std::string(2, '\0');
    return Le32(0x24 + body.size()) + Le32(0x24) + Le32(1) + Le32(0x1C) + Le32(baseAt) + Le32(0) +
           Le32(suffixAt) + Le32(uBaseAt) + Le32(uSuffixAt) + body;
}

std::string AnsiNetwork(std::string_view share, std::string_view suffix)
{
    const std::string network = Le32(0x14 + share.size() + 1) + Le32(2) + Le32(0x14) + Le32(0) +
                                Le32(0x20000) + std::string(share) + '\0';
    const std::uint32_t suffixAt = 0x1C + network.size();
    const std::string body = network + std::string(suffix) + '\0';
    return Le32(0x1C + body.size()) + Le32(0x1C) + Le32(2) + Le32(0) + Le32(0) + Le32(0x1C) + Le32(suffixAt) +
           body;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Shapes, ShellLinkInfoRead,
    testing::Values(
        LinkInfoCase{"AnsiBase", AnsiLocal("C:\\Docs\\Report.pdf", ""), "C:\\Docs\\Report.pdf"},
        LinkInfoCase{"AnsiBaseAndSuffix", AnsiLocal("C:\\Docs\\", "Sub\\a.txt"), "C:\\Docs\\Sub\\a.txt"},
        LinkInfoCase{"BaseWithoutBackslash", AnsiLocal("C:\\Docs", "a.txt"), "C:\\Docs\\a.txt"},
        LinkInfoCase{"AnsiHighBytes", AnsiLocal("C:\\\xDC\x62\x65r \x80.txt", ""),
                     "C:\\\xC3\x9C\x62\x65r \xE2\x82\xAC.txt"},
        LinkInfoCase{"UnicodePreferred", UnicodeLocal("C:\\??.txt", "C:\\ab.txt", ""), "C:\\ab.txt"},
        LinkInfoCase{"Network", AnsiNetwork("\\\\SRV\\Share", "Dir\\x.txt"), "\\\\SRV\\Share\\Dir\\x.txt"},
        LinkInfoCase{"NetworkShareOnly", AnsiNetwork("\\\\SRV\\Share", ""), "\\\\SRV\\Share"},
        LinkInfoCase{"HeaderTooSmall", Le32(0x10) + Le32(0x0C) + Le32(1) + Le32(0), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellLinkRead, EnvironmentBlockGivesTheTargetWhenThereIsNoLinkInfo)
{
    std::string ansi(260, '\0'), unicode(520, '\0');
    const std::string path = "%USERPROFILE%\\Docs\\a.txt";
    ansi.replace(0, path.size(), path);
    const std::string block = Le32(0x314) + Le32(0xA0000001) + ansi;
    EXPECT_EQ(TargetOf(Header(0x80 | 0x200) + block + Utf16(path) + std::string(520 - 2 * path.size(), '\0') +
                       Le32(0)),
              path);
    EXPECT_EQ(TargetOf(Header(0x80 | 0x200) + block + unicode + Le32(0)), path) << "ANSI when no Unicode";
    // An earlier unknown block is skipped by its size.
    EXPECT_EQ(TargetOf(Header(0x80) + Le32(12) + Le32(0xA0000099) + Le32(7) + block + unicode + Le32(0)),
              path);
}

TEST(ShellLinkRead, NoLinkGivesNothing)
{
    EXPECT_FALSE(shell::ReadShellLink(""));
    EXPECT_FALSE(shell::ReadShellLink("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj"));
    EXPECT_FALSE(shell::ReadShellLink(kPublishedExample.substr(0, 0x4B)));
    std::string wrongClass = kPublishedExample;
    wrongClass[4] = 0x02;
    EXPECT_FALSE(shell::ReadShellLink(wrongClass));
}

TEST(ShellLinkRead, LyingOffsetsAndSizesGiveAnEmptyTarget)
{
    std::string bytes = kPublishedExample;
    PutU32(bytes, kExampleLinkInfoAt + 0x10, 0xFFFFFFF0);  // local base path offset
    EXPECT_EQ(TargetOf(bytes), "C:\\test\\a.txt") << "then the item-id list names it";
    bytes[0x4C] = '\xFF', bytes[0x4D] = '\xFF';  // item-id list past the end
    EXPECT_EQ(TargetOf(bytes), "");
    bytes = kPublishedExample;
    PutU32(bytes, kExampleLinkInfoAt, 0x7FFFFFFF);  // link info past the end
    EXPECT_EQ(TargetOf(bytes), "");
}

TEST(ShellLinkRead, EveryTruncationIsSafe)
{
    shell::ShellLinkData data{"C:\\Users\\ann\\Bericht \xC3\xBC\x62\x65r.pdf", "Bericht.pdf"};
    for (const std::string& whole : {kPublishedExample, shell::WriteShellLink(data)}) {
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const auto link = shell::ReadShellLink(std::string_view(whole).substr(0, n));
            // The bytes are copied so that the sanitizer sees any read past the cut.
            const std::string cut = whole.substr(0, n);
            const auto again = shell::ReadShellLink(cut);
            EXPECT_EQ(bool(link), n >= 0x4C);
            EXPECT_EQ(bool(again), bool(link));
        }
    }
}

TEST(ShellLinkRead, RandomBytesAndMutationsAreSafe)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string ours = shell::WriteShellLink({"/home/ann/a.pdf", "a.pdf"});
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = round % 2 ? kPublishedExample : ours;
        const int changes = 1 + round % 8;
        for (int i = 0; i < changes; ++i)
            bytes[0x14 + random() % (bytes.size() - 0x14)] = static_cast<char>(byte(random));
        if (round % 3 == 0) bytes.resize(0x4C + random() % (bytes.size() - 0x4C));
        (void)shell::ReadShellLink(bytes);
    }
    for (int round = 0; round < 500; ++round) {
        std::string bytes = Header(static_cast<std::uint32_t>(random()));
        bytes.resize(0x4C + random() % 600);
        for (std::size_t i = 0x4C; i < bytes.size(); ++i) bytes[i] = static_cast<char>(byte(random));
        (void)shell::ReadShellLink(bytes);
    }
}

// Links we write: the target and description come back, and the link flags are the ones
// Windows sets for such a link.
struct RoundTripCase {
    const char* name;
    std::string target;
    std::string description;
    std::uint32_t flags;
};

class ShellLinkRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(ShellLinkRoundTrip, TargetDescriptionAndFlags)
{
    const auto& param = GetParam();
    shell::ShellLinkData data;
    data.targetPath = param.target;
    data.description = param.description;
    data.fileSize = 4711;
    data.writeTime = shell::FileTimeFromUnix(1700000000, 500);
    const std::string bytes = shell::WriteShellLink(data);
    ASSERT_GE(bytes.size(), 0x50u);
    EXPECT_EQ(bytes.substr(0, 20), kPublishedExample.substr(0, 20)) << "header size and class id";
    EXPECT_EQ(bytes.substr(0x14, 4), Le32(param.flags));
    EXPECT_EQ(bytes.substr(bytes.size() - 4), Le32(0)) << "terminal block";
    const auto link = shell::ReadShellLink(bytes);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->targetPath, param.target);
    EXPECT_EQ(link->description, param.description);
    EXPECT_EQ(link->fileSize, 4711u);
    EXPECT_EQ(link->writeTime, 133444736000000005u);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, ShellLinkRoundTrip,
    testing::Values(RoundTripCase{"Posix", "/home/ann/Trovanta/Report.final.pdf", "Report.final.pdf", 0x87},
                    RoundTripCase{"Drive", "C:\\test\\a.txt", "a.txt", 0x87},
                    RoundTripCase{"DriveRoot", "C:\\a.txt", "a.txt", 0x87},
                    RoundTripCase{"Network", "\\\\server\\share\\dir\\x.txt", "x.txt", 0x86},
                    RoundTripCase{"NoDescription", "/tmp/a", "", 0x83},
                    RoundTripCase{"NonAnsiNames",
                                  "/home/\xC3\xA5sa/\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\x8E.txt",
                                  "\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\x8E.txt", 0x87},
                    RoundTripCase{"OddLengths", "/a/bc/def", "x", 0x87},
                    RoundTripCase{"NoTarget", "", "only a name", 0x84}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellLinkWrite, DrivePathItemsFollowTheWindowsLayout)
{
    const std::string bytes = shell::WriteShellLink({"C:\\test\\a.txt", ""});
    // "My Computer" and the drive item are byte for byte the ones of the published example.
    EXPECT_EQ(bytes.substr(0x4E, 0x14 + 0x19), kPublishedExample.substr(0x4E, 0x14 + 0x19));
}

TEST(ShellLinkWrite, LnkinfoReadsOurLink)
{
    if (std::system("command -v lnkinfo >/dev/null 2>&1") != 0) GTEST_SKIP() << "lnkinfo is not installed";
    test::TempDir dir;
    const std::string target = "/home/ann/Trovanta/Bericht \xC3\xBC\x62\x65r.pdf";
    test::WriteFile(dir / "a.lnk", shell::WriteShellLink({target, "Bericht \xC3\xBC\x62\x65r.pdf"}));
    const std::string command = "lnkinfo '" + (dir / "a.lnk").string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_TRUE(pipe);
    std::string output;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, n);
    EXPECT_NE(output.find("Local path\t\t\t: " + target + "\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Description\t\t\t: Bericht \xC3\xBC\x62\x65r.pdf\n"), std::string::npos) << output;
    EXPECT_NE(output.find("Long name\t\t: Bericht \xC3\xBC\x62\x65r.pdf\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("Error"), std::string::npos) << output;
}

struct AnsiCase {
    std::string utf8;
    std::string ansi;
};

class AnsiText : public testing::TestWithParam<AnsiCase> {};

TEST_P(AnsiText, Windows1252)
{
    EXPECT_EQ(shell::Utf8ToAnsi(GetParam().utf8), GetParam().ansi);
}

INSTANTIATE_TEST_SUITE_P(Table, AnsiText,
                         testing::Values(AnsiCase{"C:\\a.txt", "C:\\a.txt"},
                                         AnsiCase{"B\xC3\xBCro \xE2\x82\xAC \xC5\xA0", "B\xFCro \x80 \x8A"},
                                         AnsiCase{"\xE6\x97\xA5\xE6\x9C\xAC", "??"},
                                         AnsiCase{"\xF0\x9F\x93\x8E.txt", "?.txt"},
                                         AnsiCase{"\xC2\x81", "\x81"}, AnsiCase{"\xC2\x80", "?"}));

TEST(ShellLinkRead, ItemIdListWithUnicodeItemNamesAndNoExtensionBlocks)
{
    // Root, drive, then a folder (type 0x35: Unicode name) and a file with an ANSI name,
    // neither with an extension block.
    const std::string root = kPublishedExample.substr(0x4E, 0x14);
    const std::string drive = kPublishedExample.substr(0x62, 0x19);
    const std::string folderBody = std::string("\x35\x00", 2) + std::string(10, '\0') + Utf16("Docs") +
                                   std::string(2, '\0') + std::string(2, '\x01');
    const std::string fileBody =
        std::string("\x32\x00", 2) + std::string(10, '\0') + "a.txt" + std::string(3, '\0');
    std::string list = root + drive;
    for (const std::string& body : {folderBody, fileBody}) {
        list += static_cast<char>(body.size() + 2);
        list += '\0';
        list += body;
    }
    list += std::string(2, '\0');
    const std::string bytes = Header(0x81) + static_cast<char>(list.size()) + '\0' + list + Le32(0);
    EXPECT_EQ(TargetOf(bytes), "C:\\Docs\\a.txt");
}
