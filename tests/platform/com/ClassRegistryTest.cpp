#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/com/ComRuntime.h"
#include "platform/runtime/Registry.h"
#include "tests/platform/com/ComSandbox.h"
#include "tests/platform/com/RecordingSink.h"
#include "tests/platform/com/TestServerApi.h"

namespace {

using namespace testserver;

bool TestServerLoaded()
{
    void* handle = dlopen(TEST_SERVER_PATH, RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

class ClassRegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        RegisterInprocServer(CLSID_Counter, kCounterProgID, "Counter", TEST_SERVER_PATH);
        RegisterInprocServer(CLSID_Failing, kFailingProgID, "Failing", TEST_SERVER_PATH);
    }
    void TearDown() override
    {
        CoFreeUnusedLibraries();
        EXPECT_FALSE(TestServerLoaded()) << "an object of the test server was not released";
    }

    test::ComSandbox sandbox_;
};

TEST_F(ClassRegistryTest, ProgIDToClassAndBack)
{
    CLSID clsid;
    ASSERT_EQ(CLSIDFromProgID(kCounterProgID, &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_Counter);
    ASSERT_EQ(CLSIDFromString("trovantatest.counter", &clsid), S_OK);  // key names ignore case
    EXPECT_EQ(clsid, CLSID_Counter);
    std::string progID;
    ASSERT_EQ(ProgIDFromCLSID(CLSID_Counter, &progID), S_OK);
    EXPECT_EQ(progID, kCounterProgID);
    EXPECT_EQ(ProgIDToClassID(CLSID_Failing.ToString()), CLSID_Failing);
    EXPECT_EQ(InprocServerPath(CLSID_Counter), std::optional<std::string>(TEST_SERVER_PATH));
}

TEST_F(ClassRegistryTest, UnregisteredClassesFailWithClassNotRegistered)
{
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("QELutils.QELSCU", &clsid), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CLSIDFromProgID("", &clsid), CO_E_CLASSSTRING);
    EXPECT_EQ(CLSIDFromProgID("CLSID\\" + CLSID_Counter.ToString(), &clsid), CO_E_CLASSSTRING);
    std::string progID;
    EXPECT_EQ(ProgIDFromCLSID(GUID_NULL, &progID), REGDB_E_CLASSNOTREG);
    try {
        CreateOleObject<IUnknown>("QELutils.QELSCU");
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), REGDB_E_CLASSNOTREG);
        EXPECT_EQ(e.Message(), "Class not registered");
    }
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(MakeGuid("{0B5D6F10-3C2A-4E7B-9D11-5A0C7E2B4FFF}"), nullptr, CLSCTX_ALL,
                               IUnknown::iid, &object),
              REGDB_E_CLASSNOTREG);
}

TEST_F(ClassRegistryTest, BadRegistrationsSayWhat)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    reg.OpenKey("\\Broken.ProgID\\CLSID", true);
    reg.WriteString("", "not a class");
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID("Broken.ProgID", &clsid), CO_E_CLASSSTRING);

    RegisterInprocServer(CLSID_Counter, kCounterProgID, "Counter", "/nonexistent/libmissing.so");
    try {
        CreateOleObject<ICounter>(kCounterProgID);
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), CO_E_DLLNOTFOUND);
        EXPECT_NE(e.Message().find("/nonexistent/libmissing.so"), std::string::npos);
    }
    RegisterInprocServer(CLSID_Counter, kCounterProgID, "Counter", COM_LIBRARY_PATH);
    try {
        CreateOleObject<ICounter>(kCounterProgID);
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), CO_E_ERRORINDLL);
        EXPECT_NE(e.Message().find("DllGetClassObject"), std::string::npos);
    }
}

TEST_F(ClassRegistryTest, LibraryStaysLoadedWhileObjectsLive)
{
    EXPECT_FALSE(TestServerLoaded());
    auto counter = CreateOleObject<ICounter>(kCounterProgID);
    EXPECT_EQ(counter->Add(2), 2);
    auto second = CreateComObject<ICounter>(CLSID_Counter);
    EXPECT_EQ(second->Add(5), 5);  // a new object, not the first one
    counter.Reset();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(TestServerLoaded());
    second.Reset();
    CoFreeUnusedLibraries();
    EXPECT_FALSE(TestServerLoaded());
    // Loaded again on demand.
    EXPECT_EQ(CreateOleObject<ICounter>(kCounterProgID)->Add(1), 1);
}

TEST_F(ClassRegistryTest, ServerFailureTextReachesTheCaller)
{
    try {
        CreateOleObject<IUnknown>(kFailingProgID);
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), kFailingCode);
        EXPECT_EQ(e.Message(), kFailingText);
    }
}

TEST_F(ClassRegistryTest, EventsOfALoadedServerReachItsSinks)
{
    const auto counter = CreateOleObject<ICounter>(kCounterProgID);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(counter.As<IConnectionPointContainer>()->FindConnectionPoint(DIID_CounterEvents, point.Put()), S_OK);
    const auto sink = MakeCom<test::RecordingSink>();
    std::uint32_t cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
    counter->Add(3);
    counter->Add(4);
    ASSERT_EQ(sink->calls.size(), 2u);
    EXPECT_EQ(sink->calls[1].member, kDispidChanged);
    EXPECT_EQ(sink->calls[1].args.at(0).ToInt(), 7);
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
    counter->Add(1);
    EXPECT_EQ(sink->calls.size(), 2u);
}

TEST_F(ClassRegistryTest, ActiveObjectByProgID)
{
    EXPECT_FALSE(GetActiveOleObject<ICounter>(kCounterProgID));
    const auto counter = CreateOleObject<ICounter>(kCounterProgID);
    std::uint32_t cookie = 0;
    ASSERT_EQ(RegisterActiveObject(counter.Get(), CLSID_Counter, ACTIVEOBJECT_STRONG, &cookie), S_OK);
    EXPECT_EQ(GetActiveOleObject<ICounter>(kCounterProgID).Get(), counter.Get());
    EXPECT_EQ(RevokeActiveObject(cookie), S_OK);
}

TEST_F(ClassRegistryTest, UnregisterLeavesAProgIDThatNamesAnotherClass)
{
    RegisterInprocServer(CLSID_Failing, kCounterProgID, "Now the failing class", TEST_SERVER_PATH);
    UnregisterInprocServer(CLSID_Counter, kCounterProgID);
    EXPECT_FALSE(InprocServerPath(CLSID_Counter));
    EXPECT_EQ(ProgIDToClassID(kCounterProgID), CLSID_Failing);
    UnregisterInprocServer(CLSID_Counter, kCounterProgID);  // twice is no error
}

TEST_F(ClassRegistryTest, LookupsFollowEveryChangeOfTheHive)
{
    // Look up first, so that a kept registry would answer from a stale hive below.
    ASSERT_EQ(ProgIDToClassID(kCounterProgID), CLSID_Counter);
    UnregisterInprocServer(CLSID_Counter, kCounterProgID);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(kCounterProgID, &clsid), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(InprocServerPath(CLSID_Counter));
    RegisterInprocServer(CLSID_Counter, kCounterProgID, "Counter", "/elsewhere/libcounter.so");
    EXPECT_EQ(InprocServerPath(CLSID_Counter), std::optional<std::string>("/elsewhere/libcounter.so"));

    // A writer of its own, as another process would be, with a value of the same length.
    TRegistry other;
    other.SetRootKey(HKEY_CLASSES_ROOT);
    other.OpenKey("\\CLSID\\" + CLSID_Counter.ToString() + "\\InprocServer32", false);
    other.WriteString("", "/elsewhere/libcounteR.so");
    EXPECT_EQ(InprocServerPath(CLSID_Counter), std::optional<std::string>("/elsewhere/libcounteR.so"));
}

TEST_F(ClassRegistryTest, LookupsFollowTheHomeFolder)
{
    ASSERT_EQ(ProgIDToClassID(kCounterProgID), CLSID_Counter);
    {
        test::ComSandbox other;
        CLSID clsid;
        EXPECT_EQ(CLSIDFromProgID(kCounterProgID, &clsid), REGDB_E_CLASSNOTREG);
        std::string progID;
        EXPECT_EQ(ProgIDFromCLSID(CLSID_Counter, &progID), REGDB_E_CLASSNOTREG);
    }
    EXPECT_EQ(ProgIDToClassID(kCounterProgID), CLSID_Counter);
    EXPECT_EQ(InprocServerPath(CLSID_Counter), std::optional<std::string>(TEST_SERVER_PATH));
}

}  // namespace
