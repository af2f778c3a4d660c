// The own-address editor: the masks through the registry, and the addresses of the mail
// accounts read from the current user's registry.
#include <QLabel>

#include "jobs/Options.h"
#include "platform/runtime/Registry.h"
#include "tests/windows/EditorTestSupport.h"
#include "windows/FrmEditJob_SaveAtts.h"
#include "windows/FrmEditMe.h"

namespace {

using namespace editor_test;

constexpr const char* kAccounts = "\\Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";

class MeEditor : public EditorTest {
protected:
    static void StoreMasks(const std::string& lines)
    {
        TMeOptions me;
        me.Values().SetText(lines);
        me.SaveToRegistry(RegKeyMe);
    }
    static std::string StoredMasks()
    {
        TMeOptions me;
        me.LoadFromRegistry(RegKeyMe);
        return me.Values().Text();
    }
    /// An account key; without `address` it has no address value.
    static void AddAccount(const std::string& name, const char* address)
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(std::string(kAccounts) + "\\" + name, true));
        reg.WriteString("Account Name", name);
        if (address) reg.WriteString("SMTP Email Address", address);
    }
    void Run(std::function<void(TFormEditMe&)> script)
    {
        WhenModal<TFormEditMe>(std::move(script));
        EditMyAddresses(nullptr);
    }
};

TEST_F(MeEditor, StoredMasksShowAndOKSavesTheMemo)
{
    StoreMasks("*@example.com\r\nann@*");
    Run([](TFormEditMe& w) {
        EXPECT_EQ(w.windowTitle(), "My e-mail addresses");
        EXPECT_EQ(GetMemo(w, "MemoNames"), "*@example.com\nann@*");
        const std::string info = GetMemo(w, "MemoInfo");
        EXPECT_EQ(info.rfind(
                      "If you use one or more of the placeholders [ME], [MN], [NE] and [NN], then you should "
                      "here enter *your* e-mail addresses.",
                      0),
                  0u);
        EXPECT_NE(info.find("\n\nExamples:\n"), std::string::npos);
        SetMemo(w, "MemoNames", "bob@example.org\n*@example.net\n");
        Click(w, "ButtonOK");
    });
    EXPECT_EQ(StoredMasks(), "bob@example.org\r\n*@example.net\r\n");
}

TEST_F(MeEditor, AccountsAddTheirAddressesOnceInLowerCaseSorted)
{
    StoreMasks("Carol@Example.COM");
    AddAccount("00000002", "  zed@example.com ");
    AddAccount("00000001", "Bob@Example.org");
    AddAccount("00000003", "BOB@example.ORG");
    AddAccount("00000004", "carol@example.com");
    AddAccount("00000005", nullptr);
    AddAccount("00000006", "   ");
    Run([](TFormEditMe& w) {
        Click(w, "ButtonReadAccounts");
        EXPECT_EQ(GetMemo(w, "MemoNames"), "Carol@Example.COM\nbob@example.org\nzed@example.com");
        Click(w, "ButtonReadAccounts");
        EXPECT_EQ(GetMemo(w, "MemoNames"), "Carol@Example.COM\nbob@example.org\nzed@example.com");
        Click(w, "ButtonOK");
    });
    EXPECT_EQ(StoredMasks(), "Carol@Example.COM\r\nbob@example.org\r\nzed@example.com\r\n");
}

TEST_F(MeEditor, WithoutAccountKeyReadingChangesNothing)
{
    StoreMasks("me@*");
    EXPECT_TRUE(ReadAccountAddresses().empty());
    Run([](TFormEditMe& w) {
        Click(w, "ButtonReadAccounts");
        EXPECT_EQ(GetMemo(w, "MemoNames"), "me@*");
        Click(w, "ButtonOK");
    });
    EXPECT_EQ(StoredMasks(), "me@*\r\n");
    EXPECT_TRUE(user_->Messages.empty());
}

TEST_F(MeEditor, CancelLeavesTheRegistryAloneAlsoAfterReadingAccounts)
{
    StoreMasks("me@*");
    AddAccount("00000001", "new@example.com");
    Run([](TFormEditMe& w) {
        Click(w, "ButtonReadAccounts");
        EXPECT_EQ(GetMemo(w, "MemoNames"), "me@*\nnew@example.com");
        Click(w, "ButtonCancel");
    });
    EXPECT_EQ(StoredMasks(), "me@*\r\n");
}

TEST_F(MeEditor, OpensFromTheLinkOfAnActionEditor)
{
    TFormEditJob_SaveAtts form(nullptr);
    WhenModal<TFormEditJob_SaveAtts>([](TFormEditJob_SaveAtts& w) {
        WhenModal<TFormEditMe>([&](TFormEditMe& me) {
            EXPECT_EQ(me.parentWidget(), &w);
            SetMemo(me, "MemoNames", "me@example.com");
            Click(me, "ButtonOK");
        });
        auto* link = Child<QLabel>(w, "LabelMyEmails");
        EXPECT_EQ(link->toolTip(), "For the placeholders [ME], [MN], [NE], [NN]");
        Q_EMIT link->linkActivated(QStringLiteral("#"));
        Click(w, "ButtonCancel");
    });
    EXPECT_FALSE(form.Execute());
    EXPECT_EQ(StoredMasks(), "me@example.com\r\n");
}

}  // namespace
