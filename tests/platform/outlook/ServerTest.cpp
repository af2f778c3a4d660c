// The server library: registered by its entry point, created by ProgID "Outlook.Application"
// over the store that $MAILDIR names.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComRuntime.h"
#include "platform/outlook/Outlook.h"
#include "tests/support/Maildir.h"
#include "tests/support/TempDir.h"

namespace {

struct DlClose {
    void operator()(void* handle) const { if (handle) dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, DlClose>;

TEST(ServerTest, CreatedByProgIdOverTheMaildirStore)
{
    const auto library = test::BuildDir() / "lib" / "libtrovanta_outlook.so";
    if (!std::filesystem::exists(library)) GTEST_SKIP() << "server library not built";
    test::TempDir home;
    test::MaildirBuilder store(home.Path() / "Maildir");
    store.Add("Inbox", test::SimpleMessage("through the server"));
    setenv("TROVANTA_HOME", (home.Path() / "config").c_str(), 1);
    setenv("MAILDIR", store.Root().c_str(), 1);
    {
        const LibraryHandle handle(dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL));
        ASSERT_TRUE(handle) << dlerror();
        auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(handle.get(), "DllRegisterServer"));
        ASSERT_NE(registerServer, nullptr);
        ASSERT_EQ(registerServer(), S_OK);
    }
    ASSERT_EQ(CoInitialize(), S_OK);
    {
        auto app = CreateOleObject<outlook::IOutlookApplication>("Outlook.Application");
        auto inbox = app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
        ASSERT_EQ(inbox->Items()->Count(), 1);
        EXPECT_EQ(inbox->Items()->Item(1)->Subject(), "through the server");
        EXPECT_EQ(inbox->StoreID(), "4D61696C626F78");
    }
    CoUninitialize();
    unsetenv("TROVANTA_HOME");
    unsetenv("MAILDIR");
}

}  // namespace
