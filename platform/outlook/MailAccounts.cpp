#include "platform/outlook/MailAccounts.h"

#include <fmt/format.h>

#include <exception>
#include <string>
#include <vector>

#include "platform/runtime/Registry.h"

namespace outlook {

namespace {

constexpr const char* kAccountsKey = "\\Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";
constexpr const char* kNameValue = "Account Name";
constexpr const char* kAddressValue = "SMTP Email Address";

struct Account {
    std::string key;
    std::string name;
    std::string address;
    bool operator==(const Account&) const = default;
};

/// The accounts the configuration gives, numbered as the mail client numbers its accounts.
std::vector<Account> AccountsOf(const ApplicationConfig& config)
{
    std::vector<Account> accounts;
    for (const StoreConfig& store : config.stores) {
        if (store.email.empty()) continue;
        accounts.push_back({fmt::format("{:08d}", accounts.size() + 1), store.displayName, store.email});
    }
    return accounts;
}

std::vector<Account> StoredAccounts(TRegistry& registry)
{
    std::vector<Account> accounts;
    if (!registry.OpenKeyReadOnly(kAccountsKey)) return accounts;
    const auto keys = registry.GetKeyNames();
    registry.CloseKey();
    for (const auto& key : keys) {
        if (!registry.OpenKeyReadOnly(std::string(kAccountsKey) + "\\" + key)) continue;
        accounts.push_back({key, registry.ReadString(kNameValue), registry.ReadString(kAddressValue)});
        registry.CloseKey();
    }
    return accounts;
}

}  // namespace

void PublishMailAccounts(TRegistry& registry, const ApplicationConfig& config)
{
    registry.SetRootKey(HKEY_CURRENT_USER);
    const std::vector<Account> accounts = AccountsOf(config);
    if (StoredAccounts(registry) == accounts) return;
    TRegistryTransaction transaction(registry);
    registry.DeleteKey(kAccountsKey);
    for (const Account& account : accounts) {
        registry.OpenKey(std::string(kAccountsKey) + "\\" + account.key, true);
        registry.WriteString(kNameValue, account.name);
        registry.WriteString(kAddressValue, account.address);
        registry.CloseKey();
    }
    transaction.Commit();
}

ApplicationConfig LoadAndPublishConfig(TRegistry& registry)
{
    ApplicationConfig config = LoadApplicationConfig(registry);
    try {
        PublishMailAccounts(registry, config);
    } catch (const std::exception&) {
        // a registry that cannot be written still shows the stores
    }
    return config;
}

}  // namespace outlook
