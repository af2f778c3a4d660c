// Which stores the application shows: $MAILDIR and the registry's Stores key.

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/outlook/StoreConfig.h"
#include "platform/runtime/Registry.h"
#include "tests/support/TempDir.h"

using namespace outlook;

namespace {

TEST(StoreConfigTest, DefaultStoreThenRegistryStores)
{
    test::TempDir dir;
    setenv("MAILDIR", "/srv/mail/ann", 1);
    TRegistry registry(dir.Path());
    registry.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(registry.OpenKey("\\Software\\VONT-Software\\Trovanta\\Stores\\Archive", true));
    registry.WriteString("Path", "/srv/mail/archive");
    registry.WriteString("Layout", "Maildir++");
    registry.CloseKey();
    ASSERT_TRUE(registry.OpenKey("\\Software\\VONT-Software\\Trovanta\\Stores\\Dup", true));
    registry.WriteString("Path", "/srv/mail/dup");
    registry.WriteString("Name", "Mailbox");  // the default store's name is taken
    registry.CloseKey();
    ASSERT_TRUE(registry.OpenKey("\\Software\\VONT-Software\\Trovanta\\Stores\\NoPath", true));
    registry.WriteString("Name", "Nothing");
    registry.CloseKey();

    const auto config = LoadApplicationConfig(registry);
    ASSERT_EQ(config.stores.size(), 2u);
    EXPECT_EQ(config.stores[0].displayName, "Mailbox");
    EXPECT_EQ(config.stores[0].root, "/srv/mail/ann");
    EXPECT_EQ(config.stores[1].displayName, "Archive");
    EXPECT_EQ(config.stores[1].root, "/srv/mail/archive");
    EXPECT_EQ(config.stores[1].layout, StoreLayout::MaildirPlusPlus);
    unsetenv("MAILDIR");
    const char* home = getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(DefaultStoreConfig().root, "/home/someone/Maildir");
    setenv("HOME", savedHome.c_str(), 1);
}

}  // namespace
