#include <gtest/gtest.h>

#include "platform/com/ComRuntime.h"
#include "tests/platform/com/ComSandbox.h"
#include "tests/platform/com/TestServerApi.h"

namespace {

using namespace testserver;

std::string Regsvr(const std::string& args) { return std::string(REGSVR_PATH) + " " + args; }

TEST(RegSvr, RegistersAndUnregistersTheTestServer)
{
    test::ComSandbox sandbox;
    const auto registered = test::RunProgram(Regsvr(TEST_SERVER_PATH));
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    EXPECT_EQ(registered.output, std::string("DllRegisterServer in \"") + TEST_SERVER_PATH + "\" succeeded.\n");
    EXPECT_EQ(ProgIDToClassID(kCounterProgID), CLSID_Counter);
    EXPECT_EQ(InprocServerPath(CLSID_Failing), std::optional<std::string>(TEST_SERVER_PATH));
    const std::string hive = sandbox.ClassesRootText();
    EXPECT_NE(hive.find("ThreadingModel"), std::string::npos);
    EXPECT_EQ(CreateOleObject<ICounter>(kCounterProgID)->Add(2), 2);

    const auto unregistered = test::RunProgram(Regsvr(std::string("/u ") + TEST_SERVER_PATH));
    ASSERT_EQ(unregistered.exitCode, 0) << unregistered.output;
    EXPECT_NE(unregistered.output.find("DllUnregisterServer"), std::string::npos);
    CLSID clsid;
    EXPECT_EQ(CLSIDFromProgID(kCounterProgID, &clsid), REGDB_E_CLASSNOTREG);
    EXPECT_FALSE(InprocServerPath(CLSID_Counter));
    EXPECT_EQ(sandbox.ClassesRootText().find("TrovantaTest"), std::string::npos);
    CoFreeUnusedLibraries();
}

struct FailureCase {
    const char* name;
    std::string args;
    int exitCode;
    std::string message;
};

class RegSvrFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(RegSvrFailure, SaysWhatWentWrong)
{
    test::ComSandbox sandbox;
    const auto result = test::RunProgram(Regsvr(GetParam().args));
    EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.output;
    EXPECT_NE(result.output.find(GetParam().message), std::string::npos) << result.output;
    EXPECT_EQ(sandbox.ClassesRootText().find("CLSID"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegSvrFailure,
    testing::Values(
        FailureCase{"NoArguments", "", 1, "Usage: regsvr [/u] LIBRARY"},
        FailureCase{"TwoLibraries", "a.so b.so", 1, "Usage: regsvr [/u] LIBRARY"},
        FailureCase{"UnknownOption", "/x a.so", 1, "Usage: regsvr [/u] LIBRARY"},
        FailureCase{"MissingLibrary", "/nonexistent/libnothing.so", 2,
                    "The library \"/nonexistent/libnothing.so\" failed to load"},
        FailureCase{"NoEntryPoint", COM_LIBRARY_PATH, 3, "the entry point DllRegisterServer was not found"},
        FailureCase{"NoUnregisterEntryPoint", std::string("/u ") + COM_LIBRARY_PATH, 3,
                    "the entry point DllUnregisterServer was not found"}),
    [](const auto& info) { return info.param.name; });

TEST(RegSvr, ARegistryThatCannotBeWrittenFailsTheCall)
{
    test::ComSandbox sandbox;
    test::WriteFile(sandbox.Home() / "HKEY_CLASSES_ROOT.reg", "this is no registry file\n");
    const auto result = test::RunProgram(Regsvr(TEST_SERVER_PATH));
    EXPECT_EQ(result.exitCode, 4) << result.output;
    EXPECT_NE(result.output.find("the call to DllRegisterServer failed with error code 0x80004005"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(sandbox.ClassesRootText(), "this is no registry file\n");
}

}  // namespace
