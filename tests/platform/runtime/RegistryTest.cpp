#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/Text.h"
#include "tests/platform/runtime/ChildProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kProduct = "\\Software\\VONT-Software\\Trovanta";

std::string Utf16File(const std::string& utf8)
{
    return "\xFF\xFE" + Utf8ToUtf16LE(utf8);
}

TEST(Registry, ReadsAFileExportedByWindows)
{
    const test::TempDir dir;
    test::WriteFile(
        dir / "HKEY_CURRENT_USER.reg",
        Utf16File("Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\VONT-Software\\Trovanta]\r\n"
                  "\"InstallDir\"=\"C:\\\\Program Files\\\\Trovanta\\\\\"\r\n"
                  "@=\"default \\\"quoted\\\"\"\r\n"
                  "\r\n"
                  "[HKEY_CURRENT_USER\\Software\\VONT-Software\\Trovanta\\Auto]\r\n"
                  "\"Active\"=dword:00000001\r\n"
                  "\"Count\"=dword:ffffffff\r\n"
                  "\"Path\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,00,00\r\n"
                  "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                  "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
                  "  16,17,18,19\r\n"
                  "\"Name\"=\"M\xC3\xA4rz\"\r\n"));
    TRegistry reg(dir.Path());
    ASSERT_TRUE(reg.OpenKeyReadOnly(kProduct));
    EXPECT_EQ(reg.ReadString("installdir"), "C:\\Program Files\\Trovanta\\");
    EXPECT_EQ(reg.ReadString(""), "default \"quoted\"");
    ASSERT_TRUE(reg.OpenKey("AUTO", false));  // relative to the open key
    EXPECT_EQ(reg.CurrentPath(), "Software\\VONT-Software\\Trovanta\\AUTO");
    EXPECT_TRUE(reg.ReadBool("Active"));
    EXPECT_EQ(reg.ReadInteger("Count"), -1);
    EXPECT_EQ(reg.ReadString("Path"), "%TEMP%");
    EXPECT_EQ(reg.GetDataType("Path"), TRegDataType::rdExpandString);
    EXPECT_EQ(reg.ReadMultiString("List"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(reg.ReadBinary("Blob").size(), 26u);
    EXPECT_EQ(reg.ReadBinary("Blob")[25], '\x19');
    EXPECT_EQ(reg.ReadString("Name"), "M\xC3\xA4rz");
    EXPECT_EQ(reg.GetValueNames(),
              (std::vector<std::string>{"Active", "Count", "Path", "List", "Blob", "Name"}));
}

TEST(Registry, RoundTripsEveryTypeThroughTheFile)
{
    const test::TempDir dir;
    const std::string awkward = "line one\r\nline \"two\" \\ end\r\n";
    {
        TRegistry reg(dir.Path());
        ASSERT_TRUE(reg.OpenKey(kProduct + "\\AdHoc\\Filter", true));
        reg.WriteString("SenderIncl", awkward);
        reg.WriteString("Plain", "a\\b \"c\" \xE2\x82\xAC");
        reg.WriteExpandString("Exp", "%HOME%/x");
        reg.WriteInteger("Neg", -2);
        reg.WriteBool("Active", true);
        reg.WriteBinary("Bin", std::string("\0\xFF\x10", 3));
        reg.WriteMultiString("Multi", {"x", "\xC3\xA4"});
        reg.WriteString("", "default");
    }
    TRegistry reg(dir.Path());
    ASSERT_TRUE(reg.OpenKey("\\software\\vont-software\\TROVANTA\\adhoc\\filter", false));
    EXPECT_EQ(reg.ReadString("SenderIncl"), awkward);
    EXPECT_EQ(reg.ReadString("Plain"), "a\\b \"c\" \xE2\x82\xAC");
    EXPECT_EQ(reg.ReadString("Exp"), "%HOME%/x");
    EXPECT_EQ(reg.ReadInteger("Neg"), -2);
    EXPECT_TRUE(reg.ReadBool("Active"));
    EXPECT_EQ(reg.ReadBinary("Bin"), std::string("\0\xFF\x10", 3));
    EXPECT_EQ(reg.ReadMultiString("Multi"), (std::vector<std::string>{"x", "\xC3\xA4"}));
    EXPECT_EQ(reg.ReadString(""), "default");
    const std::string file = test::ReadFile(dir / "HKEY_CURRENT_USER.reg");
    EXPECT_TRUE(
        file.starts_with("Windows Registry Editor Version 5.00\r\n\r\n"
                         "[HKEY_CURRENT_USER\\Software]\r\n\r\n"));
    EXPECT_NE(file.find("\"Plain\"=\"a\\\\b \\\"c\\\" \xE2\x82\xAC\"\r\n"), std::string::npos);
    EXPECT_NE(file.find("\"Neg\"=dword:fffffffe\r\n"), std::string::npos);
    EXPECT_NE(file.find("\"SenderIncl\"=hex(1):6c,00,"), std::string::npos);
    EXPECT_TRUE(IsValidUtf8(file));
}

TEST(Registry, KeysMatchIgnoringCaseAndKeepTheirCase)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    EXPECT_FALSE(reg.OpenKey("\\Software\\Missing", false));
    ASSERT_TRUE(reg.OpenKey("\\Software\\MyKey\\Sub", true));
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\mykey\\", true));
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"Sub"});
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("\\software", false));
    EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"MyKey"});
    EXPECT_TRUE(reg.KeyExists("MYKEY\\SUB"));
    EXPECT_TRUE(reg.KeyExists("\\Software\\MyKey"));
    EXPECT_FALSE(reg.KeyExists("\\MyKey"));
}

TEST(Registry, ReadErrorsNameTheValueAndKey)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    ASSERT_TRUE(reg.OpenKey(kProduct + "\\Auto", true));
    reg.WriteString("Text", "5");
    EXPECT_EQ(reg.ReadString("Missing"), "");
    try {
        reg.ReadInteger("Count");
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(),
                  "Registry value \"Count\" does not exist in key "
                  "\"HKEY_CURRENT_USER\\Software\\VONT-Software\\Trovanta\\Auto\"");
    }
    try {
        reg.ReadInteger("Text");
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(
            e.Message(),
            "Registry value \"Text\" in key "
            "\"HKEY_CURRENT_USER\\Software\\VONT-Software\\Trovanta\\Auto\" is not of the expected type");
    }
    reg.WriteInteger("Text", 7);  // a write replaces the type
    EXPECT_EQ(reg.GetDataType("text"), TRegDataType::rdInteger);
    EXPECT_THROW(reg.ReadString("Text"), ERegistryException);
    reg.CloseKey();
    EXPECT_THROW(reg.WriteInteger("X", 1), ERegistryException);
    ASSERT_TRUE(reg.OpenKeyReadOnly(kProduct));
    EXPECT_THROW(reg.WriteInteger("X", 1), ERegistryException);
}

TEST(Registry, DeletesKeysRecursivelyAndValues)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    ASSERT_TRUE(reg.OpenKey(kProduct + "\\Auto\\Job1\\ExportEmails", true));
    reg.WriteInteger("Active", 1);
    ASSERT_TRUE(reg.OpenKey(kProduct + "\\Auto", false));
    reg.WriteInteger("Count", 1);
    EXPECT_TRUE(reg.DeleteValue("COUNT"));
    EXPECT_FALSE(reg.DeleteValue("Count"));
    EXPECT_TRUE(reg.DeleteKey("job1"));
    EXPECT_FALSE(reg.DeleteKey("Job1"));
    EXPECT_TRUE(reg.GetKeyNames().empty());
    EXPECT_TRUE(reg.DeleteKey(kProduct));
    EXPECT_FALSE(TRegistry(dir.Path()).KeyExists(kProduct));
    EXPECT_TRUE(TRegistry(dir.Path()).KeyExists("\\Software\\VONT-Software"));
}

TEST(Registry, HivesAreSeparateFiles)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey("\\Trovanta.Addin\\CLSID", true));
    reg.WriteString("", "{0}");
    EXPECT_TRUE(std::filesystem::exists(dir / "HKEY_CLASSES_ROOT.reg"));
    EXPECT_FALSE(std::filesystem::exists(dir / "HKEY_CURRENT_USER.reg"));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.HasCurrentKey());
    EXPECT_FALSE(reg.KeyExists("\\Trovanta.Addin"));
}

TEST(Registry, AnotherProcessSeesAChange)
{
    const test::TempDir dir;
    TRegistry reader(dir.Path());
    ASSERT_TRUE(reader.OpenKey(kProduct + "\\Send", true));
    EXPECT_FALSE(reader.ValueExists("ReplaceMode"));
    for (int round = 1; round <= 3; ++round) {
        const int code = test::RunInChild([&] {
            TRegistry writer(dir.Path());
            if (!writer.OpenKey(kProduct + "\\Send", false)) return 1;
            writer.WriteInteger("ReplaceMode", round);  // same size every round
            return 0;
        });
        ASSERT_EQ(code, 0);
        EXPECT_EQ(reader.ReadInteger("ReplaceMode"), round);
    }
}

TEST(Registry, TransactionCommitsOnceAndRollsBackOnFailure)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    ASSERT_TRUE(reg.OpenKey(kProduct + "\\AdHoc", true));
    reg.WriteString("Mask", "old");
    const std::string before = test::ReadFile(dir / "HKEY_CURRENT_USER.reg");
    try {
        TRegistryTransaction transaction(reg);
        reg.DeleteKey(kProduct + "\\AdHoc");
        ASSERT_TRUE(reg.OpenKey(kProduct + "\\AdHoc", true));
        reg.WriteString("Mask", "half");
        EXPECT_EQ(test::ReadFile(dir / "HKEY_CURRENT_USER.reg"), before);  // nothing written yet
        throw Exception("failed in between");
    } catch (const Exception&) {
    }
    EXPECT_EQ(test::ReadFile(dir / "HKEY_CURRENT_USER.reg"), before);
    EXPECT_EQ(reg.ReadString("Mask"), "old");
    {
        TRegistryTransaction transaction(reg);
        reg.DeleteKey(kProduct + "\\AdHoc");
        ASSERT_TRUE(reg.OpenKey(kProduct + "\\AdHoc", true));
        reg.WriteString("Mask", "new");
        transaction.Commit();
    }
    EXPECT_EQ(TRegistry(dir.Path()).OpenKey(kProduct + "\\AdHoc", false), true);
    TRegistry fresh(dir.Path());
    ASSERT_TRUE(fresh.OpenKey(kProduct + "\\AdHoc", false));
    EXPECT_EQ(fresh.ReadString("Mask"), "new");
}

TEST(Registry, FailedCommitLeavesTheOldFileIntact)
{
    const test::TempDir dir;
    {
        TRegistry reg(dir.Path());
        ASSERT_TRUE(reg.OpenKey(kProduct, true));
        reg.WriteString("Keep", "me");
    }
    const std::string before = test::ReadFile(dir / "HKEY_CURRENT_USER.reg");
    const int code = test::RunInChild([&] {
        TRegistry reg(dir.Path());
        if (!reg.OpenKey(kProduct, false)) return 1;
        test::LimitFileSize(before.size());
        try {
            reg.WriteString("Big", std::string(4096, 'x'));
        } catch (const ERegistryException&) {
            return reg.ReadString("Keep") == "me" && !reg.ValueExists("Big") ? 0 : 2;
        }
        return 3;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(test::ReadFile(dir / "HKEY_CURRENT_USER.reg"), before);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path().filename().string().starts_with("HKEY_CURRENT_USER.reg")) << entry.path();
}

struct DamageRow {
    std::string text;
    std::string message;
};

class DamagedHive : public testing::TestWithParam<DamageRow> {};

TEST_P(DamagedHive, NamesFileAndLineAndIsNeverOverwritten)
{
    const test::TempDir dir;
    const std::filesystem::path file = dir / "HKEY_CURRENT_USER.reg";
    test::WriteFile(file, GetParam().text);
    TRegistry reg(dir.Path());
    try {
        reg.OpenKey("\\Software", true);
        FAIL();
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), file.string() + GetParam().message);
    }
    EXPECT_EQ(test::ReadFile(file), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Registry, DamagedHive,
    testing::Values(
        DamageRow{
            "garbage\r\n",
            "(1): not a registry file (the first line must be \"Windows Registry Editor Version 5.00\")"},
        DamageRow{"REGEDIT4\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:zz\n", "(4): unreadable dword \"zz\""},
        DamageRow{"REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n",
                  "(2): key \"HKEY_LOCAL_MACHINE\\A\" does not belong to HKEY_CURRENT_USER"},
        DamageRow{"REGEDIT4\n\"x\"=\"y\"\n", "(2): value outside a key"},
        DamageRow{"REGEDIT4\n[HKEY_CURRENT_USER\n", "(2): key line without closing \"]\""},
        DamageRow{"REGEDIT4\n[HKEY_CURRENT_USER]\n\"x\"=hex:01,\\\n  0g\n",
                  "(3): unreadable hex byte \"0g\""},
        DamageRow{"REGEDIT4\n[HKEY_CURRENT_USER]\n\"x=\"y\"\n", "(3): value \"x=\" without \"=\""},
        DamageRow{"REGEDIT4\n[HKEY_CURRENT_USER]\nstray\n", "(3): unreadable line"}));

TEST(Registry, RejectsNamesThatWouldDamageTheFile)
{
    const test::TempDir dir;
    TRegistry reg(dir.Path());
    EXPECT_THROW(reg.OpenKey("\\Bad\nKey", true), ERegistryException);
    ASSERT_TRUE(reg.OpenKey("\\Good", true));
    EXPECT_THROW(reg.WriteString("a\r\nb", "x"), ERegistryException);
    reg.WriteString("v", std::string("\xFF\xFE", 2));  // not UTF-8: stored so that the file stays UTF-8
    EXPECT_TRUE(IsValidUtf8(test::ReadFile(dir / "HKEY_CURRENT_USER.reg")));
    EXPECT_TRUE(TRegistry(dir.Path()).KeyExists("\\Good"));
}

}  // namespace
