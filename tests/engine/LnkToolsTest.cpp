#include "engine/LnkTools.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "jobs/FileTools.h"
#include "platform/runtime/Exception.h"
#include "platform/shell/ShellLink.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Points the temporary folder at a fresh folder for one test.
class LnkToolsTest : public testing::Test {
protected:
    LnkToolsTest()
    {
        if (const char* old = std::getenv("TMPDIR")) oldTmp_ = old;
        ::setenv("TMPDIR", tmp_.Path().c_str(), 1);
    }
    ~LnkToolsTest() override
    {
        oldTmp_.empty() ? ::unsetenv("TMPDIR") : ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    }

    fs::path ShortcutFolder() const { return fs::path(GetTempDir()) / "Trovanta"; }
    fs::path RunFolder() const { return ShortcutFolder() / "Run"; }
    std::string Saved(const std::string& name)
    {
        const fs::path path = tmp_ / "saved" / name;
        test::WriteFile(path, "content of " + name);
        return path.string();
    }

    test::TempDir tmp_;

private:
    std::string oldTmp_;
};

}  // namespace

struct NameCase {
    const char* fileName;
    const char* shortcut;
    const char* back;
};

class ShortcutNames : public testing::TestWithParam<NameCase> {};

TEST_P(ShortcutNames, ThereAndBack)
{
    EXPECT_EQ(ShortcutFileName(GetParam().fileName), GetParam().shortcut);
    EXPECT_EQ(ShortcutNameToFileName(GetParam().shortcut), GetParam().back);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShortcutNames,
    testing::Values(NameCase{"Report.final.pdf", "Report.final-pdf.qel", "Report.final.pdf"},
                    NameCase{"README", "README.qel", "README"},
                    NameCase{"my-notes", "my-notes.qel", "my.notes"}, NameCase{"a.b.c", "a.b-c.qel", "a.b.c"},
                    NameCase{"/home/ann/Report.pdf", "Report-pdf.qel", "Report.pdf"},
                    NameCase{"..\\..\\evil.exe", "evil-exe.qel", "evil.exe"},
                    NameCase{"Name.", "Name-.qel", "Name."},
                    NameCase{"B\xC3\xBCro-Plan.xlsx", "B\xC3\xBCro-Plan-xlsx.qel", "B\xC3\xBCro-Plan.xlsx"}));

TEST(ShortcutNameLimit, LongNameIsShortenedBeforeItsExtension)
{
    std::string umlauts;
    for (int i = 0; i < 130; ++i) umlauts += "\u00FC";
    const std::string shortcut = ShortcutFileName(umlauts + ".pdf");  // 264 bytes with "-pdf.qel"
    EXPECT_EQ(shortcut, umlauts.substr(0, 246) + "-pdf.qel");
    EXPECT_EQ(ShortcutNameToFileName(shortcut), umlauts.substr(0, 246) + ".pdf");
}

TEST(ShortcutNameToFileName, NameWithoutDashStaysWithoutExtension)
{
    EXPECT_EQ(ShortcutNameToFileName("README.qel"), "README");
    EXPECT_EQ(ShortcutNameToFileName("plain"), "plain");
}

TEST_F(LnkToolsTest, CreateAndResolveRoundTrip)
{
    const std::string target = Saved("Report.final.pdf");
    const std::string link = CreateShortcut(target, "Report.final.pdf");
    EXPECT_EQ(link, (ShortcutFolder() / "Report.final-pdf.qel").string());
    EXPECT_EQ(ReadShortcutTarget(link), target);
    EXPECT_EQ(ResolveShortcut(link), target);
    const auto data = shell::ReadShellLink(test::ReadFile(link));
    ASSERT_TRUE(data);
    EXPECT_EQ(data->description, "Report.final.pdf");
    EXPECT_EQ(data->fileSize, fs::file_size(target));
    EXPECT_FALSE(fs::exists(ShortcutFolder() / "Report.final-pdf.pif"));
}

TEST_F(LnkToolsTest, ExistingShortcutIsReplacedNotNumbered)
{
    const std::string first = CreateShortcut(Saved("one/Report.pdf"), "Report.pdf");
    const std::string secondTarget = Saved("two/Report.pdf");
    const std::string second = CreateShortcut(secondTarget, "Report.pdf");
    EXPECT_EQ(first, second);
    EXPECT_EQ(ReadShortcutTarget(second), secondTarget);
    EXPECT_EQ(std::distance(fs::directory_iterator(ShortcutFolder()), fs::directory_iterator()), 1);
}

TEST_F(LnkToolsTest, LeftoverPifIsRemoved)
{
    test::WriteFile(ShortcutFolder() / "Report-pdf.pif", "old");
    const std::string link = CreateShortcut(Saved("Report.pdf"), "Report.pdf");
    EXPECT_TRUE(fs::exists(link));
    EXPECT_FALSE(fs::exists(ShortcutFolder() / "Report-pdf.pif"));
}

TEST_F(LnkToolsTest, FailedSaveRaisesAndLeavesNothing)
{
    // A folder in the place of the link file: it cannot be deleted as a file or written.
    fs::create_directories(ShortcutFolder() / "Report-pdf.qel" / "inner");
    try {
        CreateShortcut(Saved("Report.pdf"), "Report.pdf");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_FALSE(e.Message().empty());
    }
    EXPECT_FALSE(fs::exists(ShortcutFolder() / "Report-pdf.pif"));
}

TEST_F(LnkToolsTest, TooLongPathRaisesTheShortcutError)
{
    const std::string longName(280 - GetTempDir().size(), 'x');  // a name part under 255 bytes
    try {
        CreateShortcut(Saved("a.pdf"), longName + ".pdf");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Error while creating the shortcut.");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(ShortcutFolder()), fs::directory_iterator()), 0);
}

TEST_F(LnkToolsTest, ContentThatIsNoLinkResolvesEmpty)
{
    test::WriteFile(tmp_ / "in" / "fake-pdf.qel", "%PDF-1.4 this is no shell link");
    EXPECT_EQ(ReadShortcutTarget((tmp_ / "in" / "fake-pdf.qel").string()), "");
    EXPECT_EQ(ResolveShortcut((tmp_ / "in" / "fake-pdf.qel").string()), "");
    EXPECT_FALSE(fs::exists(RunFolder() / "fake-pdf.pif")) << "the working copy is deleted";
    EXPECT_TRUE(fs::exists(tmp_ / "in" / "fake-pdf.qel"));
}

TEST_F(LnkToolsTest, MissingOrUnreadableFilesGiveEmptyTargets)
{
    EXPECT_EQ(ReadShortcutTarget((tmp_ / "missing.qel").string()), "");
    EXPECT_EQ(ReadShortcutTarget(tmp_.Path().string()), "");
    ASSERT_EQ(::mkfifo((tmp_ / "pipe.qel").c_str(), 0600), 0);
    EXPECT_EQ(ReadShortcutTarget((tmp_ / "pipe.qel").string()), "") << "no wait for a writer";
    EXPECT_THROW(ResolveShortcut((tmp_ / "missing.qel").string()), EOSError) << "the copy fails";
    EXPECT_EQ(ResolveShortcut((tmp_ / "missing.PIF").string()), "") << "no copy of a .pif";
}

TEST_F(LnkToolsTest, TargetLongerThan260CharactersIsNotCut)
{
    const std::string target = "/" + std::string(260, 'a');
    test::WriteFile(tmp_ / "long.qel", shell::WriteShellLink({target, "a"}));
    EXPECT_EQ(ReadShortcutTarget((tmp_ / "long.qel").string()), "");
    const std::string fits = "/" + std::string(259, 'a');
    test::WriteFile(tmp_ / "fits.qel", shell::WriteShellLink({fits, "a"}));
    EXPECT_EQ(ReadShortcutTarget((tmp_ / "fits.qel").string()), fits);
}
