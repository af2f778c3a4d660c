#pragma once
// Which Maildir stores the object model shows. The default store is $MAILDIR, else
// ~/Maildir, shown as "Mailbox". Further stores come from the registry, one subkey per store
// under HKEY_CURRENT_USER\Software\VONT-Software\Trovanta\Stores:
//
//   [HKEY_CURRENT_USER\Software\VONT-Software\Trovanta\Stores\Archive]
//   "Path"="/home/ann/Mail/archive"      (required: the store's root directory)
//   "Name"="Archive"                     (optional: the shown name; default the subkey's name)
//   "Layout"="maildir++"                 (optional: "nested" or "maildir++"; default: detected)
//   "Email"="ann@example.org"            (optional: the address of the store's mail account)
//
// The default store's account address is $EMAIL.

#include <string>
#include <vector>

class TRegistry;

namespace outlook {

enum class StoreLayout { Detect, Nested, MaildirPlusPlus };

struct StoreConfig {
    std::string displayName;
    std::string root;
    StoreLayout layout = StoreLayout::Detect;
    std::string email = {};  ///< the store's mail account address; "" when it has no account
};

struct ApplicationConfig {
    std::vector<StoreConfig> stores;  ///< the first is the default store
};

/// The default store: $MAILDIR, else ~/Maildir, named "Mailbox", with the address $EMAIL.
StoreConfig DefaultStoreConfig();

/// "nested", "maildir++" (any case); anything else means Detect.
StoreLayout ParseStoreLayout(const std::string& text);

/// The default store followed by the stores configured in the registry.
ApplicationConfig LoadApplicationConfig(TRegistry& registry);

}  // namespace outlook
