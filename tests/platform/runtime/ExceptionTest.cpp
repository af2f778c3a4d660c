#include "platform/runtime/Exception.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(Exception, AbortIsTheSilentUserBreak)
{
    try {
        Abort();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "User break.");
        EXPECT_NE(dynamic_cast<const EAbort*>(&e), nullptr);
    }
}

TEST(Exception, OSErrorNamesItsContextAndTheSystemText)
{
    const EOSError e(ENOENT, "/no/such");
    EXPECT_EQ(e.ErrorCode(), ENOENT);
    EXPECT_EQ(e.Message(), "/no/such: No such file or directory");
}
