#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "addin_framework/axpButtonFace.h"
#include "addin_framework/axpCommandBars.h"
#include "addin_framework/axpHosts.h"
#include "addin_framework/axpProcessList.h"
#include "addin_framework/axpResources.h"
#include "platform/runtime/Exception.h"
#include "tests/addin_framework/TestAddIn.h"
#include "tests/support/TempDir.h"

namespace {

struct TokenCase {
    std::string rest;
    char separator;
    std::string token;
    std::string restAfter;
};

class NextTokenTable : public testing::TestWithParam<TokenCase> {};

TEST_P(NextTokenTable, CutsOneTokenOff)
{
    std::string rest = GetParam().rest;
    EXPECT_EQ(NextToken(GetParam().separator, rest), GetParam().token);
    EXPECT_EQ(rest, GetParam().restAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NextTokenTable,
    testing::Values(TokenCase{"BTN:QEL-Button\\CBOX:x\\", '\\', "BTN:QEL-Button", "CBOX:x\\"},
                    TokenCase{"BTN:QEL-Button", ':', "BTN", "QEL-Button"},
                    TokenCase{"JUNK", ':', "JUNK", ""},  // no separator: all of it
                    TokenCase{"   ", '\\', "", "   "},   // blank: left alone
                    TokenCase{"", '\\', "", ""},
                    TokenCase{"  Bar One \\Two\\", '\\', "Bar One",
                              "Two\\"},  // leading blanks do not shift the cut
                    TokenCase{"\\Two", '\\', "", "Two"}, TokenCase{"a:b:c", ':', "a", "b:c"}));

TEST(Hosts, StartModesAndControlTypesByName)
{
    EXPECT_EQ(StartModeFromString("normal"), smNormal);
    EXPECT_EQ(StartModeFromString("UNINSTALL"), smUninstall);
    EXPECT_EQ(StartModeFromString("FirstStart"), smFirstStart);
    EXPECT_EQ(StartModeFromString(""), smFirstStart);
    EXPECT_EQ(StartModeFromString(" NORMAL"), smFirstStart) << "compared whole";

    EXPECT_EQ(ControlTypeFromTag("cbox"), office::msoControlComboBox);
    EXPECT_EQ(ControlTypeFromTag("POPUP"), office::msoControlPopup);
    EXPECT_EQ(ControlTypeFromTag("JUNK"), office::msoControlButton) << "unknown names are buttons";
    EXPECT_EQ(ControlTypeName(2), "DROPDOWN");
    EXPECT_EQ(OfficeControlType(1), office::msoControlEdit);
    EXPECT_THROW(ControlTypeName(5), Exception);

    EXPECT_TRUE(HostInSet(MakeHostSet({hiOutlook, hiVisio}), hiVisio));
    EXPECT_FALSE(HostInSet(MakeHostSet({hiOutlook}), hiWord));
    EXPECT_FALSE(HostInSet(0xFFFF, 16)) << "an index above 15 is never a member";
}

TEST(Hosts, ExcelStartUpListTakesTheNextOpenName)
{
    EXPECT_EQ(NextExcelOpenName({"DefaultSheets", "Options"}), "OPEN");
    EXPECT_EQ(NextExcelOpenName({"Open", "Options"}), "OPEN1");
    EXPECT_EQ(NextExcelOpenName({"OPEN", "OPEN1", "OPEN2", "Zoom"}), "OPEN3");
    EXPECT_EQ(NextExcelOpenName({"OPEN1", "OPEN"}), "OPEN2");
}

TEST(ProcessList, ReadsExecutableNamesFromTheProcessTable)
{
    test::TempDir proc;
    std::filesystem::create_directories(proc / "101");
    std::filesystem::create_symlink("/usr/bin/outlook.exe", proc / "101" / "exe");
    std::filesystem::create_directories(proc / "102");
    std::filesystem::create_symlink("/opt/Office/winword.exe (deleted)", proc / "102" / "exe");
    std::filesystem::create_directories(proc / "103");  // no executable: a kernel thread
    std::filesystem::create_directories(proc / "self");
    std::filesystem::create_symlink("/bin/ignored", proc / "self" / "exe");
    const TProcessList list(proc.Path());
    EXPECT_TRUE(list.Contains("OUTLOOK.EXE"));
    EXPECT_TRUE(list.Contains("WinWord.exe"));
    EXPECT_FALSE(list.Contains("IGNORED"));
    EXPECT_FALSE(list.Contains(""));
    EXPECT_EQ(list.Count(), 2u);
}

TEST(ProcessList, FindsThisVeryProcess)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(TProcessList().Contains(self));
}

TEST(ButtonFace, TheTransparentColourTakesTheButtonFaceAndShowsTheBackground)
{
    const std::uint32_t white = 0xFFFFFFFF;
    const std::uint32_t red = 0xFFC02020;
    const office::Picture bitmap{2, 2, {red, white, white, red}};  // bottom-left is white
    const auto face = MakeButtonFace(bitmap, clDefault);
    EXPECT_EQ(face.Pixels, (std::vector<std::uint32_t>{red, 0x00F0F0F0, 0x00F0F0F0, red}));

    const auto byRed = MakeButtonFace(bitmap, 0x002020C0);  // red as 0x00BBGGRR
    EXPECT_EQ(byRed.Pixels, (std::vector<std::uint32_t>{0x00F0F0F0, white, white, 0x00F0F0F0}));
    EXPECT_TRUE(MakeButtonFace(office::Picture{}, clDefault).Empty());
}

TEST(BitmapResources, EmbeddedImagesLoadByNameAndMissingOnesAreNamed)
{
    const auto picture = LoadBitmapResource("bmp16test");  // names ignore case
    ASSERT_EQ(picture.Width, 16);
    ASSERT_EQ(picture.Height, 16);
    EXPECT_EQ(picture.Pixels[0], 0xFFC02020u) << "top-left: the red diagonal";
    EXPECT_EQ(picture.Pixels[15 * 16], 0xFFFFFFFFu) << "bottom-left: white";
    EXPECT_EQ(picture.Pixels[8 * 16 + 5], 0xFF2060C0u) << "the blue square";
    try {
        LoadBitmapResource("NOSUCHBITMAP");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Resource NOSUCHBITMAP not found");
    }
    RegisterBitmapResource("BROKEN", "not a png");
    EXPECT_THROW(LoadBitmapResource("BROKEN"), Exception);
}

}  // namespace
