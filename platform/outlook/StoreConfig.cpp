#include "platform/outlook/StoreConfig.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>

#include "platform/runtime/Registry.h"

namespace outlook {

StoreConfig DefaultStoreConfig()
{
    StoreConfig config;
    config.displayName = "Mailbox";
    const char* maildir = std::getenv("MAILDIR");
    if (maildir && *maildir) {
        config.root = maildir;
    } else {
        const char* home = std::getenv("HOME");
        config.root = std::string(home && *home ? home : g_get_home_dir()) + "/Maildir";
    }
    const char* email = std::getenv("EMAIL");
    if (email) config.email = email;
    return config;
}

StoreLayout ParseStoreLayout(const std::string& text)
{
    const std::string lower = [&] {
        std::string s = text;
        for (char& c : s) c = static_cast<char>(g_ascii_tolower(c));
        return s;
    }();
    if (lower == "nested") return StoreLayout::Nested;
    if (lower == "maildir++" || lower == "maildirplusplus") return StoreLayout::MaildirPlusPlus;
    return StoreLayout::Detect;
}

}  // namespace outlook

namespace outlook {

namespace {
constexpr const char* kStoresKey = "\\Software\\VONT-Software\\Trovanta\\Stores";
}  // namespace

ApplicationConfig LoadApplicationConfig(TRegistry& registry)
{
    ApplicationConfig config;
    config.stores.push_back(DefaultStoreConfig());
    registry.SetRootKey(HKEY_CURRENT_USER);
    if (!registry.OpenKeyReadOnly(kStoresKey)) return config;
    const auto names = registry.GetKeyNames();
    registry.CloseKey();
    for (const auto& key : names) {
        if (!registry.OpenKeyReadOnly(std::string(kStoresKey) + "\\" + key)) continue;
        StoreConfig store;
        store.root = registry.ReadString("Path");
        store.displayName = registry.ReadString("Name");
        store.layout = ParseStoreLayout(registry.ReadString("Layout"));
        store.email = registry.ReadString("Email");
        registry.CloseKey();
        if (store.displayName.empty()) store.displayName = key;
        const bool taken = std::any_of(config.stores.begin(), config.stores.end(),
                                       [&](const StoreConfig& s) { return s.displayName == store.displayName; });
        // Stores are told apart by their names: a second store of the same name is left out.
        if (!store.root.empty() && !taken) config.stores.push_back(std::move(store));
    }
    return config;
}

}  // namespace outlook
