#include "tests/platform/qelutils/ServerFixture.h"

#include <cstdlib>

#include "platform/com/ComRuntime.h"

namespace test {

void RunRegsvr(const std::string& args)
{
    const auto result = RunProgram(std::string(REGSVR_PATH) + " " + args);
    ASSERT_EQ(result.exitCode, 0) << result.output;
}

ServerFixture::ServerFixture(bool registerQelutils)
{
    if (const char* old = std::getenv("MAILDIR")) previousMaildir_ = old;
    setenv("MAILDIR", mail_.Path().c_str(), 1);
    RunRegsvr(OUTLOOK_SERVER_PATH);
    if (registerQelutils) RunRegsvr(QELUTILS_SERVER_PATH);
}

ServerFixture::~ServerFixture()
{
    CoFreeUnusedLibraries();
    if (previousMaildir_)
        setenv("MAILDIR", previousMaildir_->c_str(), 1);
    else
        unsetenv("MAILDIR");
}

ComPtr<outlook::IMAPIFolder> ServerFixture::Inbox()
{
    const auto app = CreateOleObject<outlook::IOutlookApplication>("Outlook.Application");
    return app->GetNamespace("MAPI")->GetDefaultFolder(outlook::olFolderInbox);
}

ComPtr<outlook::IOutlookItem> ServerFixture::LastInboxItem()
{
    const auto items = Inbox()->Items();
    return items->Item(items->Count());
}

}  // namespace test
