#pragma once
// A registry with the object model server and (unless told otherwise) the external server
// registered by regsvr, and a default store of its own ($MAILDIR) in a temporary folder.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/outlook/Outlook.h"
#include "tests/platform/com/ComSandbox.h"
#include "tests/support/Maildir.h"

namespace test {

class ServerFixture : public testing::Test {
protected:
    explicit ServerFixture(bool registerQelutils = true);
    ~ServerFixture() override;

    /// The Inbox of the default store, through a new application object.
    ComPtr<outlook::IMAPIFolder> Inbox();
    /// The last item of the Inbox.
    ComPtr<outlook::IOutlookItem> LastInboxItem();

    ComSandbox sandbox_;
    TempDir mail_;
    MaildirBuilder store_{mail_.Path()};

private:
    std::optional<std::string> previousMaildir_;
};

/// Registers or unregisters a server library by running regsvr; fails the test on error.
void RunRegsvr(const std::string& args);

}  // namespace test
