// Which stores the application shows: $MAILDIR and the registry's Stores key; the mail accounts
// offered from their addresses; the installation folder recorded at registration.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/outlook/InstallFolder.h"
#include "platform/outlook/MailAccounts.h"
#include "platform/outlook/StoreConfig.h"
#include "platform/runtime/Registry.h"
#include "tests/support/ScopedEnvironment.h"
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

constexpr const char* kAccounts = "\\Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";

/// "subkey=name <address>" for every account stored, in stored order.
std::vector<std::string> StoredAccounts(TRegistry& registry)
{
    std::vector<std::string> lines;
    if (!registry.OpenKeyReadOnly(kAccounts)) return lines;
    const auto keys = registry.GetKeyNames();
    for (const auto& key : keys) {
        registry.OpenKeyReadOnly(std::string(kAccounts) + "\\" + key);
        lines.push_back(key + "=" + registry.ReadString("Account Name") + " <" +
                        registry.ReadString("SMTP Email Address") + ">");
    }
    registry.CloseKey();
    return lines;
}

TEST(StoreConfigTest, StoresWithAddressesAreOfferedAsMailAccounts)
{
    test::TempDir dir;
    test::ScopedEnvironment env;
    env.Set("MAILDIR", "/srv/mail/ann");
    env.Set("EMAIL", "Ann.Lee@example.org");
    TRegistry registry(dir.Path());
    for (const auto& [key, email] : {std::pair{"Work", "ann@work.example"}, std::pair{"Old", ""}}) {
        ASSERT_TRUE(
            registry.OpenKey(std::string("\\Software\\VONT-Software\\Trovanta\\Stores\\") + key, true));
        registry.WriteString("Path", std::string("/srv/mail/") + key);
        if (*email) registry.WriteString("Email", email);
        registry.CloseKey();
    }
    // An account left from an earlier configuration goes.
    ASSERT_TRUE(registry.OpenKey(std::string(kAccounts) + "\\00000009", true));
    registry.WriteString("SMTP Email Address", "gone@example.org");
    registry.CloseKey();

    PublishMailAccounts(registry, LoadApplicationConfig(registry));
    const std::vector<std::string> expected{"00000001=Mailbox <Ann.Lee@example.org>",
                                            "00000002=Work <ann@work.example>"};
    EXPECT_EQ(StoredAccounts(registry), expected);
    const auto stamp = std::filesystem::last_write_time(dir.Path() / "HKEY_CURRENT_USER.reg");
    PublishMailAccounts(registry, LoadApplicationConfig(registry));
    EXPECT_EQ(std::filesystem::last_write_time(dir.Path() / "HKEY_CURRENT_USER.reg"), stamp)
        << "unchanged accounts are not written again";

    env.Unset("EMAIL");
    PublishMailAccounts(registry, LoadApplicationConfig(registry));
    EXPECT_EQ(StoredAccounts(registry), std::vector<std::string>{"00000001=Work <ann@work.example>"});
}

TEST(StoreConfigTest, RegistrationRecordsTheInstallationFolderOfAnInstalledLibrary)
{
    test::TempDir dir;
    const std::filesystem::path prefix = dir.Path() / "prefix";
    std::filesystem::create_directories(prefix / "lib/trovanta");
    const std::string library = (prefix / "lib/trovanta/libtrovanta_outlook.so").string();
    TRegistry registry(dir.Path());
    const auto installDir = [&registry] {
        if (!registry.OpenKeyReadOnly("\\Software\\VONT-Software\\Trovanta")) return std::string();
        const std::string value = registry.ReadString("InstallDir");
        registry.CloseKey();
        return value;
    };

    RecordInstallDir(registry, library, true);
    EXPECT_EQ(installDir(), "") << "a library outside an installation records nothing";
    std::filesystem::create_directories(prefix / "share/trovanta");
    std::filesystem::create_directories(dir.Path() / "other/share/trovanta");
    const std::string data = std::filesystem::weakly_canonical(prefix / "share/trovanta").string();
    RecordInstallDir(registry, library, true);
    EXPECT_EQ(installDir(), data);
    RecordInstallDir(registry, (dir.Path() / "other/lib/trovanta/libtrovanta_outlook.so").string(), false);
    EXPECT_EQ(installDir(), data) << "another installation's value stays";
    RecordInstallDir(registry, library, false);
    EXPECT_EQ(installDir(), "");
}

}  // namespace
