#include "platform/runtime/Exception.h"
#include "platform/runtime/IniFile.h"
#include "platform/runtime/Profile.h"
#include "tests/platform/runtime/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct QuoteRow {
    std::string value;
    std::string written;
    std::string readBack;
};

class IniValueTable : public testing::TestWithParam<QuoteRow> {};

TEST_P(IniValueTable, WritesSoThatTheValueReadsBack)
{
    const QuoteRow& row = GetParam();
    EXPECT_EQ(profile::QuoteValue(row.value), row.written);
    EXPECT_EQ(profile::UnquoteValue(row.written), row.readBack);

    const test::TempDir dir;
    TIniFile ini(dir / "job.qef");
    ini.WriteString("Source", "Value", row.value);
    EXPECT_EQ(test::ReadFile(dir / "job.qef"), "[Source]\r\nValue=" + row.written + "\r\n");
    EXPECT_EQ(TIniFile(dir / "job.qef").ReadString("Source", "Value", "default"), row.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, IniValueTable,
    testing::Values(QuoteRow{"plain", "plain", "plain"}, QuoteRow{"", "", ""},
                    QuoteRow{" lead", "\" lead\"", " lead"}, QuoteRow{"trail\t", "\"trail\t\"", "trail\t"},
                    QuoteRow{"\"quoted\"", "\"\"quoted\"\"", "\"quoted\""},
                    QuoteRow{"'single'", "\"'single'\"", "'single'"}, QuoteRow{"\"", "\"", "\""},
                    QuoteRow{"'a\"", "'a\"", "'a\""}, QuoteRow{"a;b ; c", "a;b ; c", "a;b ; c"},
                    QuoteRow{"x=y=z", "x=y=z", "x=y=z"}, QuoteRow{"[Section]", "[Section]", "[Section]"},
                    QuoteRow{"\xC3\xBC\xE2\x82\xAC", "\xC3\xBC\xE2\x82\xAC", "\xC3\xBC\xE2\x82\xAC"},
                    QuoteRow{"two\r\nlines", "two  lines", "two  lines"},
                    QuoteRow{"end\n", "\"end \"", "end "}, QuoteRow{" ", "\" \"", " "}));

TEST(IniFile, MissingFileReadsDefaults)
{
    const test::TempDir dir;
    const TIniFile ini(dir / "none" / "missing.ini");
    EXPECT_EQ(ini.ReadString("S", "K", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("S", "K", 3), 3);
    EXPECT_TRUE(ini.ReadBool("S", "K", true));
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_TRUE(ini.ReadSection("S").empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
}

TEST(IniFile, ReadsAWindowsWrittenFile)
{
    const test::TempDir dir;
    // Windows-1252, CR LF, blanks around names and values, a comment, duplicate names.
    test::WriteFile(dir / "win.qef",
                    "; saved by hand\r\n"
                    "Orphan=ignored\r\n"
                    "[ source ]\r\n"
                    "  FullName =  Posteingang\\M\xE4rz \x80  \r\n"
                    "Mask='[SE] - [B]'\r\n"
                    "Count=0x10\r\n"
                    "Bad=12abc\r\n"
                    "Flag=1\r\n"
                    "fullname=second\r\n"
                    "Semi=a ; b\r\n"
                    "\r\n"
                    "[SOURCE]\r\n"
                    "Other=x\r\n");
    const TIniFile ini(dir / "win.qef");
    EXPECT_EQ(ini.ReadString("Source", "FULLNAME", ""), "Posteingang\\M\xC3\xA4rz \xE2\x82\xAC");
    EXPECT_EQ(ini.ReadString("Source", "Mask", ""), "[SE] - [B]");
    EXPECT_EQ(ini.ReadInteger("Source", "Count", 0), 16);
    EXPECT_EQ(ini.ReadInteger("Source", "Bad", -1), -1);
    EXPECT_TRUE(ini.ReadBool("Source", "Flag", false));
    EXPECT_EQ(ini.ReadString("Source", "Semi", ""), "a ; b");
    EXPECT_FALSE(ini.ValueExists("Source", "Other"));  // only the first section of a name counts
    EXPECT_FALSE(ini.ValueExists("Source", "Orphan"));
    EXPECT_EQ(ini.ReadSection("source"),
              (std::vector<std::string>{"FullName", "Mask", "Count", "Bad", "Flag", "fullname", "Semi"}));
}

TEST(IniFile, ReadsUtf16WithBom)
{
    const test::TempDir dir;
    test::WriteFile(dir / "u.ini", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0K\0=\0\xE4\0\r\0\n\0", 22));
    EXPECT_EQ(TIniFile(dir / "u.ini").ReadString("a", "k", ""), "\xC3\xA4");
}

TEST(IniFile, WritesInPlaceAfterTheSectionAndAtTheEnd)
{
    const test::TempDir dir;
    test::WriteFile(dir / "w.ini", "[A]\nx=1\n\n\n[B]\ny=2\n");
    TIniFile ini(dir / "w.ini");
    ini.WriteString("a", "X", "one");
    ini.WriteInteger("A", "z", -5);
    ini.WriteBool("C", "flag", true);
    ini.WriteString("b", "w", "\xC3\xA4");
    EXPECT_EQ(test::ReadFile(dir / "w.ini"),
              "[A]\r\nx=one\r\nz=-5\r\n\r\n\r\n[B]\r\ny=2\r\nw=\xC3\xA4\r\n\r\n[C]\r\nflag=1\r\n");
    EXPECT_EQ(ini.ReadInteger("A", "Z", 0), -5);
}

TEST(IniFile, ErasesSectionsAndKeys)
{
    const test::TempDir dir;
    test::WriteFile(dir / "e.ini", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[a]\r\nq=4\r\n");
    TIniFile ini(dir / "e.ini");
    ini.DeleteKey("B", "Z");
    ini.DeleteKey("B", "missing");
    ini.EraseSection("A");
    EXPECT_EQ(test::ReadFile(dir / "e.ini"), "[B]\r\n");
    EXPECT_FALSE(ini.SectionExists("a"));
    EXPECT_TRUE(ini.SectionExists("b"));
}

// The same writes straight to the file and held in an update scope: the first section and the
// first key of a name take the writes; once the first key of a name is gone the next one counts.
TEST(IniFile, WritesGoToTheFirstOfDuplicateNames)
{
    for (const bool inUpdate : {false, true}) {
        const test::TempDir dir;
        test::WriteFile(dir / "d.ini", "[A]\r\nk=1\r\nK=2\r\n\r\n[B]\r\nx=1\r\n[a]\r\nonly=second\r\n");
        TIniFile ini(dir / "d.ini");
        TIniFileUpdate update(ini);
        if (!inUpdate) update.Commit();
        ini.WriteString("a", "only", "first");
        ini.DeleteKey("A", "k");
        EXPECT_EQ(ini.ReadString("A", "k", ""), "2") << inUpdate;
        ini.WriteString("A", "k", "3");
        ini.WriteString("A", "ONLY", "again");
        ini.WriteString("C", "n", "1");
        ini.WriteString("c", "n", "2");
        if (inUpdate) update.Commit();
        EXPECT_EQ(test::ReadFile(dir / "d.ini"),
                  "[A]\r\nK=3\r\nonly=again\r\n\r\n[B]\r\nx=1\r\n[a]\r\nonly=second\r\n\r\n[C]\r\nn=2\r\n")
            << inUpdate;
        EXPECT_EQ(TIniFile(dir / "d.ini").ReadSection("a"), (std::vector<std::string>{"K", "only"}));
    }
}

TEST(IniFile, SeesChangesMadeThroughAnotherObject)
{
    const test::TempDir dir;
    const TIniFile reader(dir / "s.ini");
    EXPECT_EQ(reader.ReadString("S", "K", "none"), "none");
    TIniFile(dir / "s.ini").WriteString("S", "K", "v1");
    EXPECT_EQ(reader.ReadString("S", "K", "none"), "v1");
    TIniFile(dir / "s.ini").WriteString("S", "K", "v2");
    EXPECT_EQ(reader.ReadString("S", "K", "none"), "v2");
}

TEST(IniFile, FailedWriteLeavesTheOldFileIntact)
{
    const test::TempDir dir;
    const std::string original = "[S]\r\nK=old\r\n";
    test::WriteFile(dir / "f.ini", original);
    const int code = test::RunInChild([&] {
        TIniFile ini(dir / "f.ini");
        test::LimitFileSize(16);  // the new file cannot be written in full
        try {
            ini.WriteString("S", "K", std::string(100, 'x'));
        } catch (const EIniFileException& e) {
            return e.Message().starts_with("Unable to write to " + (dir / "f.ini").string()) ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(test::ReadFile(dir / "f.ini"), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);  // no temporary left
}

}  // namespace

TEST(IniFileUpdate, StoresManyWritesOnceAndDropsThemWithoutCommit)
{
    test::TempDir dir;
    const auto path = dir / "job.qef";
    test::WriteFile(path, "[A]\r\nKeep=1\r\n");
    {
        TIniFile ini(path);
        TIniFileUpdate update(ini);
        ini.WriteString("A", "New", "x");
        ini.EraseSection("A");
        ini.WriteInteger("B", "Count", 7);
        EXPECT_EQ(test::ReadFile(path), "[A]\r\nKeep=1\r\n") << "nothing reaches the file before the commit";
        EXPECT_EQ(ini.ReadInteger("B", "Count", 0), 7) << "the pending writes read back";
        update.Commit();
    }
    EXPECT_EQ(test::ReadFile(path), "[B]\r\nCount=7\r\n");

    TIniFile ini(path);
    {
        TIniFileUpdate abandoned(ini);
        ini.WriteString("B", "Count", "8");
    }
    EXPECT_EQ(ini.ReadInteger("B", "Count", 0), 7);
    EXPECT_EQ(test::ReadFile(path), "[B]\r\nCount=7\r\n");
}
