#include "platform/com/ComRuntime.h"
#include "platform/office/AddInHost.h"
#include "tests/addin_framework/AddInTestSupport.h"

namespace {

constexpr char kLibraryProgID[] = "TrovantaTest.LibraryAddIn";
constexpr char kLibraryKey[] = "\\Software\\Microsoft\\Office\\Outlook\\AddIns\\TrovantaTest.LibraryAddIn";

std::string Regsvr(const std::string& args)
{
    return std::string(REGSVR_PATH) + " " + args;
}

class ServerLibrary : public test::AddInFixture {
protected:
    void SetUp() override { InstallOutlook(); }
    void TearDown() override
    {
        CoFreeUnusedLibraries();
        AddInFixture::TearDown();
    }
    static std::string LibraryValue(const std::string& name)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        return reg.OpenKeyReadOnly(kLibraryKey) ? reg.ReadString(name) : "<no key>";
    }
};

TEST_F(ServerLibrary, RegsvrRegistersTheAddInAHostRunsItAndRegsvrRemovesIt)
{
    const auto registered = test::RunProgram(Regsvr(TEST_ADDIN_PATH));
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    EXPECT_EQ(LibraryValue("FriendlyName"), "Library Test Add-in");
    EXPECT_EQ(LibraryValue("ADXStartMode"), "FIRSTSTART");
    EXPECT_EQ(InprocServerPath(ProgIDToClassID(kLibraryProgID)), std::optional<std::string>(TEST_ADDIN_PATH));

    const auto found = office::RegisteredAddIns(office::OfficeAddInsKey("Outlook"));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].ProgID, kLibraryProgID);
    EXPECT_EQ(found[0].Description, "An add-in library for tests");
    EXPECT_EQ(found[0].LoadBehavior, 3);
    EXPECT_TRUE(found[0].LoadsAtStartup());

    {
        test::ScriptedOutlookHost host;
        const auto bars = host.OpenExplorer();
        office::AddInConnection connection(kLibraryProgID, host.App(), host.List(kLibraryProgID));
        ASSERT_EQ(connection.Connect(office::ext_cm_Startup), S_OK);
        ASSERT_EQ(connection.AddInsUpdate(), S_OK);
        ASSERT_EQ(connection.StartupComplete(), S_OK);
        const auto button =
            bars->FindControl(std::nullopt, std::nullopt, kTestButtonTag).As<office::CommandBarButton>();
        ASSERT_TRUE(button) << "the library's add-in made its button";
        EXPECT_EQ(button->Face().Pixels.at(15 * 16), 0x00F0F0F0u)
            << "with the face from the library's resource";
        button->Execute();
        EXPECT_EQ(button->Caption(), "Clicked 1") << "the click reached the library's hook";
        EXPECT_EQ(connection.BeginShutdown(), S_OK);
        EXPECT_EQ(connection.Disconnect(office::ext_dm_HostShutdown), S_OK);
        EXPECT_FALSE(button->Visible());
        EXPECT_EQ(LibraryValue("Test Bar"), "UserClose");
    }

    const auto unregistered = test::RunProgram(Regsvr(std::string("/u ") + TEST_ADDIN_PATH));
    ASSERT_EQ(unregistered.exitCode, 0) << unregistered.output;
    EXPECT_EQ(LibraryValue("FriendlyName"), "<no key>");
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(kLibraryProgID, &clsid), REGDB_E_CLASSNOTREG);
}

TEST_F(ServerLibrary, AConnectionKeepsTheHostsCallsInOrder)
{
    ASSERT_EQ(test::RunProgram(Regsvr(TEST_ADDIN_PATH)).exitCode, 0);
    test::ScriptedOutlookHost host;
    host.OpenExplorer();
    const auto entry = host.List(kLibraryProgID);
    {
        office::AddInConnection connection(kLibraryProgID, host.App(), entry);
        EXPECT_EQ(connection.StartupComplete(), E_UNEXPECTED) << "nothing before Connect";
        ASSERT_EQ(connection.Connect(office::ext_cm_AfterStartup), S_OK);
        EXPECT_EQ(connection.Connect(office::ext_cm_AfterStartup), E_UNEXPECTED);
        EXPECT_TRUE(entry->Connect());
        EXPECT_TRUE(entry->Object());
    }
    EXPECT_FALSE(entry->Connect()) << "a connection that ends closes as at a shutdown";
    EXPECT_FALSE(entry->Object());
    EXPECT_EQ(LibraryValue("Test Bar"), "UserClose");
    EXPECT_THROW(office::AddInConnection("TrovantaTest.NoSuchAddIn", host.App(), nullptr), ComError);
}

TEST_F(ServerLibrary, AFactoryMadeAfterTheServerIsInUseIsRefused)
{
    server_.Module();
    EXPECT_THROW(
        TaxpFactory(server_, AddInClassOf<TTestAddIn>("Late"), GUID_NULL, 0, "", "", 0, false, false),
        Exception);
}

}  // namespace
