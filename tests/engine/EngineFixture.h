#pragma once
// A real Maildir store for engine tests, the application object over it, and the safe items
// that the engine asks the external server for.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/EmailProcessor.h"
#include "platform/outlook/Outlook.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace test {

/// The external server's safe item, made without going through its registration.
ComPtr<qelutils::ISafeItem> MakeSafeItem();

/// The current mail user, with a fixed name.
ComPtr<qelutils::ISafeCurrentUser> MakeCurrentUser(const std::string& name);

/// Creates the external server's objects for the engine without a registered server.
TObjectFactory ServerObjectFactory(const std::string& userName = "Test User");

/// A temporary store "Mailbox" and the application object over it.
class StoreFixture {
public:
    StoreFixture();
    MaildirBuilder& Builder() { return builder_; }
    const ComPtr<outlook::IOutlookApplication>& Application() const { return app_; }
    /// The folder at a "/"-separated path below the store's top-level folder.
    ComPtr<outlook::IMAPIFolder> Folder(const std::string& relPath) const;
    /// Makes the application object; call after the folders are built.
    void Open();
    const TempDir& Dir() const { return dir_; }

private:
    TempDir dir_;
    MaildirBuilder builder_;
    ComPtr<outlook::IOutlookApplication> app_;
};

}  // namespace test
