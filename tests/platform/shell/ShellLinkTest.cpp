#include "platform/shell/ShellLink.h"

#include <gtest/gtest.h>

TEST(ShellLink, Smoke)
{
    shell::ShellLinkData d;
    d.targetPath = "C:\\test\\a.txt";
    d.description = "a.txt";
    const auto r = shell::ReadShellLink(shell::WriteShellLink(d));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->targetPath, d.targetPath);
}
