#include "platform/outlook/StoreConfig.h"

#include <glib.h>

#include <cstdlib>

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
