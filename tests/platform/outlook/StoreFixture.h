#pragma once
// A temporary store and an application object over it, for the object model's tests.

#include <gtest/gtest.h>

#include "platform/com/ComError.h"
#include "platform/outlook/Application.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace outlook_test {

class StoreTest : public ::testing::Test {
protected:
    explicit StoreTest(test::MaildirLayout layout = test::MaildirLayout::Nested)
        : store_((dir_.Path() / "Mail"), layout)
    {
    }

    /// The application, made on first use (after the test has written its messages).
    ComPtr<outlook::IOutlookApplication> App()
    {
        if (!app_) {
            outlook::ApplicationConfig config;
            config.stores.push_back({"Mailbox", store_.Root().string(), outlook::StoreLayout::Detect});
            app_ = outlook::CreateApplication(config);
        }
        return app_;
    }
    ComPtr<outlook::INameSpace> Ns() { return App()->GetNamespace("MAPI"); }
    ComPtr<outlook::IMAPIFolder> Inbox() { return Ns()->GetDefaultFolder(outlook::olFolderInbox); }
    /// A folder by its path below the store's root ("Inbox/Projects").
    ComPtr<outlook::IMAPIFolder> FolderAt(const std::string& path)
    {
        auto folder = Ns()->Folders()->Item(1);
        std::size_t start = 0;
        while (start < path.size()) {
            auto slash = path.find('/', start);
            if (slash == std::string::npos) slash = path.size();
            const std::string name = path.substr(start, slash - start);
            auto folders = folder->Folders();
            ComPtr<outlook::IMAPIFolder> found;
            for (int i = 1; i <= folders->Count() && !found; ++i) {
                if (folders->Item(i)->Name() == name) found = folders->Item(i);
            }
            if (!found) return nullptr;
            folder = found;
            start = slash + 1;
        }
        return folder;
    }
    ComPtr<outlook::IOutlookItem> InboxItem(int index) { return Inbox()->Items()->Item(index); }

    test::TempDir dir_;
    test::MaildirBuilder store_;
    ComPtr<outlook::IOutlookApplication> app_;
};

}  // namespace outlook_test
