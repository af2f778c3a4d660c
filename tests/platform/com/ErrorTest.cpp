#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ComError.h"
#include "platform/com/ErrorInfo.h"

namespace {

TEST(ComError, TakesTheThreadsErrorInfoOnce)
{
    SetErrorInfo({"The server said no", "Test.Source", {}});
    const ComError first(E_FAIL);
    EXPECT_EQ(first.Message(), "The server said no");
    EXPECT_EQ(first.Code(), E_FAIL);
    // Taken: a later error of the thread does not repeat an old message.
    const ComError second(REGDB_E_CLASSNOTREG);
    EXPECT_EQ(second.Message(), "Class not registered");
}

TEST(ComError, OleCheckRaisesOnlyFailures)
{
    EXPECT_NO_THROW(OleCheck(S_OK));
    EXPECT_NO_THROW(OleCheck(S_FALSE));
    try {
        OleCheck(E_NOINTERFACE);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "No such interface supported");
    }
}

TEST(ErrorInfo, IsPerThread)
{
    SetErrorInfo({"main thread", {}, {}});
    std::optional<ErrorInfo> seenByOther;
    std::thread([&] { seenByOther = GetErrorInfo(); }).join();
    EXPECT_FALSE(seenByOther.has_value());
    ASSERT_TRUE(GetErrorInfo().has_value());
    EXPECT_FALSE(GetErrorInfo().has_value());
}

}  // namespace
