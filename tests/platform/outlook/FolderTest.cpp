// Folders: both layouts, identifiers, odd names, the default folders.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/outlook/MaildirNames.h"
#include "platform/outlook/ModifiedUtf7.h"
#include "tests/platform/outlook/StoreFixture.h"
#include "tests/support/TempDir.h"

using namespace outlook;
using outlook_test::StoreTest;
namespace fs = std::filesystem;

namespace {

class FolderTest : public StoreTest {};

TEST_F(FolderTest, NestedTreeNamesParentsAndIds)
{
    store_.Add("Inbox/Projects", test::SimpleMessage("p"));
    store_.Folder("Sent");
    auto root = Ns()->Folders()->Item(1);
    EXPECT_EQ(root->Name(), "Mailbox");
    EXPECT_EQ(root->EntryID(), "");
    EXPECT_EQ(root->StoreID(), "4D61696C626F78");
    EXPECT_EQ(root->Parent()->Class(), olNamespace);
    auto projects = FolderAt("Inbox/Projects");
    ASSERT_TRUE(projects);
    EXPECT_EQ(projects->Class(), olFolder);
    EXPECT_EQ(projects->EntryID(), HexEncode("Inbox/Projects"));
    EXPECT_EQ(projects->Parent().As<IMAPIFolder>()->Name(), "Inbox");
    EXPECT_EQ(projects->Items()->Count(), 1);
    EXPECT_EQ(root->Folders()->Count(), 2);
    auto again = Ns()->GetFolderFromID(projects->EntryID(), projects->StoreID());
    EXPECT_EQ(again->Items()->Item(1)->Subject(), "p");
    EXPECT_THROW(Ns()->GetFolderFromID(HexEncode("Nowhere"), root->StoreID()), ComError);
    EXPECT_THROW(Ns()->GetFolderFromID("XYZ", root->StoreID()), ComError);
}

TEST_F(FolderTest, LinksBackUpAreNoSubfoldersLinksElsewhereAre)
{
    store_.Add("Inbox/Projects", test::SimpleMessage("p"));
    store_.Add("Archive", test::SimpleMessage("a"));
    fs::create_directory_symlink(".", store_.Folder("Inbox") / "self");
    fs::create_directory_symlink("../..", store_.Folder("Inbox/Projects") / "up");
    fs::create_directory_symlink("../Archive", store_.Folder("Inbox") / "Shared");
    const auto names = [](const ComPtr<IMAPIFolder>& folder) {
        std::vector<std::string> out;
        for (int i = 1; i <= folder->Folders()->Count(); ++i) out.push_back(folder->Folders()->Item(i)->Name());
        return out;
    };
    EXPECT_EQ(names(FolderAt("Inbox")), (std::vector<std::string>{"Projects", "Shared"}));
    EXPECT_TRUE(names(FolderAt("Inbox/Projects")).empty());
    EXPECT_EQ(FolderAt("Inbox/Shared")->Items()->Item(1)->Subject(), "a");
}

TEST_F(FolderTest, AFolderRemovedByAnotherProgramIsNotFoundAgain)
{
    store_.Add("Inbox/Old", test::SimpleMessage("o"));
    const auto old = FolderAt("Inbox/Old");
    const std::string entry = old->EntryID();
    const std::string storeId = old->StoreID();
    fs::remove_all(store_.Root() / "Inbox" / "Old");
    EXPECT_THROW(Ns()->GetFolderFromID(entry, storeId), ComError);
}

TEST_F(FolderTest, IdsNeverLeadOutOfTheStore)
{
    store_.Add("Inbox", test::SimpleMessage("in"));
    test::MaildirBuilder(dir_.Path() / "outside").Add("", test::SimpleMessage("out"));
    test::MaildirBuilder(dir_.Path() / "linked").Add("", test::SimpleMessage("linked"));
    fs::create_directory_symlink(dir_.Path() / "linked", store_.Root() / "Linked");
    const std::string storeId = HexEncode("Mailbox");
    const std::vector<std::string> hostile = {"../outside",
                                              "Inbox/../Inbox",
                                              "Inbox/.",
                                              "./Inbox",
                                              "Inbox/",
                                              "/Inbox",
                                              "Inbox//Inbox",
                                              "Inbox/cur",
                                              "new",
                                              "Inbox/tmp",
                                              std::string("Inbox\0/x", 8),
                                              "%49nbox",
                                              ".hidden"};
    for (const auto& path : hostile) {
        try {
            Ns()->GetFolderFromID(HexEncode(path), storeId);
            ADD_FAILURE() << path << " names a folder";
        } catch (const ComError& e) {
            EXPECT_EQ(e.Message(), "The folder \"" + path + "\" does not exist in \"Mailbox\".");
        }
    }
    EXPECT_EQ(Ns()->GetFolderFromID(HexEncode("Linked"), storeId)->Items()->Item(1)->Subject(), "linked");
    EXPECT_EQ(Ns()->Folders()->Item(1)->Folders()->Count(), 2);
    EXPECT_FALSE(fs::exists(dir_.Path() / "cur"));
}

TEST_F(FolderTest, AMissingStoreIsAnErrorAndIsNotCreated)
{
    ApplicationConfig config;
    const fs::path missing = dir_ / "typo" / "Maildir";
    config.stores.push_back({"Mailbox", missing.string(), StoreLayout::Detect});
    auto app = CreateApplication(config);
    try {
        app->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox);
        FAIL() << "the Inbox of a missing store was found";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Message(), "The mail store \"Mailbox\" was not found at \"" + missing.string() + "\".");
    }
    EXPECT_FALSE(fs::exists(dir_ / "typo"));
}

TEST_F(FolderTest, IdsSurviveMovingTheStore)
{
    store_.Add("Inbox/A", test::SimpleMessage("a"));
    const std::string entry = FolderAt("Inbox/A")->EntryID();
    const std::string storeId = FolderAt("Inbox/A")->StoreID();
    app_.Reset();
    const fs::path moved = dir_ / "Elsewhere";
    fs::rename(store_.Root(), moved);
    ApplicationConfig config;
    config.stores.push_back({"Mailbox", moved.string(), StoreLayout::Detect});
    auto app = CreateApplication(config);
    auto folder = app->GetNamespace("MAPI")->GetFolderFromID(entry, storeId);
    EXPECT_EQ(folder->Items()->Item(1)->Subject(), "a");
}

TEST_F(FolderTest, InboxDeletedAndSentItemsAreCreatedWhenMissing)
{
    auto inbox = Inbox();
    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_TRUE(fs::is_directory(store_.Root() / "Inbox" / "cur"));
    store_.Add("Inbox", test::SimpleMessage("x"));
    inbox->Items()->Item(1)->Delete();
    EXPECT_TRUE(fs::is_directory(store_.Root() / "Deleted Items" / "tmp"));
    EXPECT_EQ(Ns()->GetDefaultFolder(olFolderSentMail)->Name(), "Sent Items");
    EXPECT_TRUE(fs::is_directory(store_.Root() / "Sent Items" / "cur"));
}

TEST_F(FolderTest, TheStoresOwnTrashAndSentFolderAreUsed)
{
    for (const char* subject : {"a", "b", "c"}) store_.Add("Inbox", test::SimpleMessage(subject));
    store_.Folder("Deleted Messages");
    store_.Folder("trash");
    store_.Folder("Sent");
    InboxItem(1)->Delete();
    ASSERT_EQ(store_.Files("trash").size(), 1u);
    FolderAt("trash")->Items()->Item(1)->Delete();
    EXPECT_TRUE(store_.Files("trash").empty());
    EXPECT_FALSE(fs::exists(store_.Root() / "Deleted Items"));
    EXPECT_EQ(Ns()->GetDefaultFolder(olFolderSentMail)->Name(), "Sent");

    store_.Folder("Deleted Items");
    InboxItem(1)->Delete();
    EXPECT_EQ(store_.Files("Deleted Items").size(), 1u);
    InboxItem(1)->Move(FolderAt("trash"));
    FolderAt("trash")->Items()->Item(1)->Delete();  // no longer the deleted items: moved on
    EXPECT_EQ(store_.Files("Deleted Items").size(), 2u);
}

TEST_F(FolderTest, ImpossibleNamesAreEncodedAndShownAsGiven)
{
    auto inbox = Inbox();
    for (const std::string name : {"a/b", ".", "..", "cur", ".hidden", "50%"}) {
        auto folder = inbox->Folders()->Add(name);
        EXPECT_EQ(folder->Name(), name);
    }
    for (const auto& entry : fs::directory_iterator(store_.Root() / "Inbox")) {
        const std::string dirName = entry.path().filename().string();
        EXPECT_NE(dirName[0], '.') << dirName;
    }
    EXPECT_EQ(inbox->Folders()->Count(), 6);
    EXPECT_THROW(inbox->Folders()->Add("cur"), ComError);
    // What other programs keep is no folder, and a name like it does not hide a folder.
    fs::create_directories(store_.Root() / "Inbox" / "courierimapkeywords");
    EXPECT_EQ(inbox->Folders()->Count(), 6);
    EXPECT_EQ(inbox->Folders()->Add("courierimapkeywords")->Name(), "courierimapkeywords");
    EXPECT_EQ(inbox->Folders()->Count(), 7);
    // A directory that another program named in its own way is reached under the name shown.
    store_.Add("Inbox/x%41", test::SimpleMessage("other"));
    auto other = Ns()->GetFolderFromID(HexEncode("Inbox/xA"), inbox->StoreID());
    EXPECT_EQ(other->Items()->Item(1)->Subject(), "other");
    auto slash = inbox->Folders()->Add("x/y");
    slash->Folders()->Add("z");
    EXPECT_EQ(Ns()->GetFolderFromID(slash->EntryID(), slash->StoreID())->Folders()->Item(1)->Name(), "z");
}

class PlusPlusTest : public StoreTest {
protected:
    PlusPlusTest() : StoreTest(test::MaildirLayout::MaildirPlusPlus) {}
};

TEST_F(PlusPlusTest, RootIsTheInboxAndDotFoldersAreSubfolders)
{
    store_.Add("Inbox", test::SimpleMessage("in inbox"));
    store_.Add("Inbox/Projects", test::SimpleMessage("in projects"));
    store_.Add("Lists/Kernel", test::SimpleMessage("in kernel"));
    EXPECT_EQ(Inbox()->Items()->Item(1)->Subject(), "in inbox");
    EXPECT_EQ(FolderAt("Inbox/Projects")->Items()->Item(1)->Subject(), "in projects");
    EXPECT_EQ(FolderAt("Lists/Kernel")->Items()->Item(1)->Subject(), "in kernel");
    EXPECT_EQ(FolderAt("Lists")->Items()->Count(), 0);
    auto added = Inbox()->Folders()->Add("v1.2");
    EXPECT_EQ(added->Name(), "v1.2");
    EXPECT_TRUE(fs::is_directory(store_.Root() / ".Inbox.v1%2E2" / "cur"));
    InboxItem(1)->Delete();
    EXPECT_EQ(store_.Files("Deleted Items").size(), 1u);
    EXPECT_EQ(FolderAt("Deleted Items")->Items()->Count(), 1);
}

TEST_F(PlusPlusTest, AStoreThatDovecotKeeps)
{
    store_.Add("Inbox", test::SimpleMessage("in inbox"));
    for (const char* dirName : {"&AGE-", "Grüße", "Kunden Z&APw-rich", "a&b"}) {
        store_.Add(dirName, test::SimpleMessage(dirName));
    }
    store_.Add("Kunden Z&APw-rich/Archiv", test::SimpleMessage("archived"));
    store_.Folder("Trash");
    const std::vector<std::string> kept = {"dovecot-uidlist",  "dovecot.index", "dovecot.index.cache",
                                           "dovecot-keywords", "subscriptions", "dovecot.list.index.log",
                                           "courierimapuiddb", "maildirfolder", "dovecot-uidvalidity"};
    for (const auto& name : kept) test::WriteFile(store_.Root() / name, "kept\n");
    test::WriteFile(store_.Root() / ".Kunden Z&APw-rich" / "maildirfolder", "");
    fs::create_directories(store_.Root() / "courierimapkeywords");
    fs::create_directories(store_.Root() / ".Kunden Z&APw-rich" / "courierimaphieracl");

    std::vector<std::string> shown;
    auto top = Ns()->Folders()->Item(1)->Folders();
    for (int i = 1; i <= top->Count(); ++i) shown.push_back(top->Item(i)->Name());
    EXPECT_EQ(shown, (std::vector<std::string>{"&AGE-", "Grüße", "Inbox", "Kunden Zürich", "Trash", "a&b"}));
    const std::string storeId = HexEncode("Mailbox");
    for (const char* dirName : {"&AGE-", "Grüße", "Kunden Z&APw-rich", "a&b"}) {
        const auto shownName = DecodeModifiedUtf7(dirName).value_or(dirName);
        EXPECT_EQ(Ns()->GetFolderFromID(HexEncode(shownName), storeId)->Items()->Item(1)->Subject(), dirName);
    }
    // One folder, one ID: other spellings of the names name no folder.
    for (const char* other : {"%49nbox", "Kunden Z%C3%BCrich", "Kunden Z&APw-rich", "Inbox/.."}) {
        EXPECT_THROW(Ns()->GetFolderFromID(HexEncode(other), storeId), ComError) << other;
    }
    auto zurich = FolderAt("Kunden Zürich");
    EXPECT_EQ(zurich->EntryID(), HexEncode("Kunden Zürich"));
    EXPECT_EQ(zurich->Folders()->Count(), 1);
    EXPECT_EQ(FolderAt("Kunden Zürich/Archiv")->Items()->Item(1)->Subject(), "archived");

    FolderAt("Grüße")->Items()->Item(1)->Move(zurich);
    EXPECT_EQ(store_.Files("Kunden Z&APw-rich").size(), 2u);
    zurich->Folders()->Add("Büro & Co");
    EXPECT_TRUE(fs::is_directory(store_.Root() / ".Kunden Z&APw-rich.B&APw-ro &- Co" / "cur"));
    EXPECT_THROW(Ns()->Folders()->Item(1)->Folders()->Add("a&b"), ComError);
    InboxItem(1)->Delete();
    EXPECT_EQ(store_.Files("Trash").size(), 1u);
    EXPECT_FALSE(fs::exists(store_.Root() / ".Deleted Items"));
    EXPECT_EQ(Inbox()->Items()->Count(), 0);
    for (const auto& name : kept) EXPECT_EQ(test::ReadFile(store_.Root() / name), "kept\n") << name;
}

// ---- codecs ---------------------------------------------------------------------------

struct NameCase {
    const char* fileName;
    const char* unique;
    bool hasInfo;
    const char* flags;
};

class MaildirNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(MaildirNameTest, ParsesAndRebuilds)
{
    const auto& c = GetParam();
    const MaildirName name = ParseMaildirName(c.fileName);
    EXPECT_EQ(name.unique, c.unique);
    EXPECT_EQ(name.hasInfo, c.hasInfo);
    EXPECT_EQ(name.flags.Letters(), c.flags);
}

INSTANTIATE_TEST_SUITE_P(Names, MaildirNameTest,
                         ::testing::Values(NameCase{"123.M1P2.host", "123.M1P2.host", false, ""},
                                           NameCase{"123.M1P2.host:2,", "123.M1P2.host", true, ""},
                                           NameCase{"123.M1P2.host:2,SRF", "123.M1P2.host", true, "FRS"},
                                           NameCase{"a:b:2,S", "a:b", true, "S"},
                                           NameCase{"x:2,SS,", "x", true, "S"},
                                           NameCase{"k:2,bSaF", "k", true, "FSab"}));

TEST(MaildirNameFlags, SetAndClear)
{
    MaildirName name = ParseMaildirName("1.x");
    name.SetFlag('S', true);
    EXPECT_EQ(name.FileName(), "1.x:2,S");
    name.SetFlag('F', true);
    EXPECT_EQ(name.FileName(), "1.x:2,FS");
    name.SetFlag('S', false);
    EXPECT_EQ(name.FileName(), "1.x:2,F");
    name.SetFlag('a', true);
    name.SetFlag(',', true);
    EXPECT_EQ(name.FileName(), "1.x:2,Fa");
    EXPECT_TRUE(name.HasFlag('a'));
    EXPECT_FALSE(name.HasFlag('A'));
    EXPECT_EQ(DeliveryTimeOf("1717423500.M1P2.h"), std::optional<std::time_t>(1717423500));
    EXPECT_EQ(DeliveryTimeOf("abc.h"), std::nullopt);
    const std::string first = NewUniqueName();
    const std::string second = NewUniqueName();
    EXPECT_LT(first, second);
}

struct FolderNameCase {
    const char* shown;
    bool dotSeparated;
    const char* stored;
};

class FolderNameTest : public ::testing::TestWithParam<FolderNameCase> {};

TEST_P(FolderNameTest, EncodesReversibly)
{
    const auto& c = GetParam();
    EXPECT_EQ(EncodeFolderName(c.shown, c.dotSeparated), c.stored);
    EXPECT_EQ(DecodeFolderName(c.stored), c.shown);
}

INSTANTIATE_TEST_SUITE_P(Names, FolderNameTest,
                         ::testing::Values(FolderNameCase{"Inbox", false, "Inbox"},
                                           FolderNameCase{"a/b", false, "a%2Fb"},
                                           FolderNameCase{".", false, "%2E"},
                                           FolderNameCase{"..", false, "%2E."},
                                           FolderNameCase{".hidden", false, "%2Ehidden"},
                                           FolderNameCase{"cur", false, "%63ur"},
                                           FolderNameCase{"current", false, "current"},
                                           FolderNameCase{"100%", false, "100%25"},
                                           FolderNameCase{"v1.2", false, "v1.2"},
                                           FolderNameCase{"v1.2", true, "v1%2E2"},
                                           FolderNameCase{"Grüße", false, "Grüße"},
                                           FolderNameCase{"subscriptions", false, "%73ubscriptions"},
                                           FolderNameCase{"dovecot.index", false, "%64ovecot.index"}));

struct Utf7Case {
    const char* shown;
    const char* encoded;
};

class ModifiedUtf7Test : public ::testing::TestWithParam<Utf7Case> {};

TEST_P(ModifiedUtf7Test, EncodesAndDecodes)
{
    const auto& c = GetParam();
    EXPECT_EQ(EncodeModifiedUtf7(c.shown), c.encoded);
    EXPECT_EQ(DecodeModifiedUtf7(c.encoded), std::optional<std::string>(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Names, ModifiedUtf7Test,
    ::testing::Values(Utf7Case{"", ""}, Utf7Case{"Sent", "Sent"}, Utf7Case{"&", "&-"},
                      Utf7Case{"A&B", "A&-B"}, Utf7Case{"Kunden Zürich", "Kunden Z&APw-rich"},
                      Utf7Case{"ä ö", "&AOQ- &APY-"}, Utf7Case{"äö", "&AOQA9g-"},
                      Utf7Case{"~peter/mail/台北/日本語", "~peter/mail/&U,BTFw-/&ZeVnLIqe-"},
                      Utf7Case{"😀", "&2D3eAA-"}, Utf7Case{"a\tb", "a&AAk-b"}));

TEST(ModifiedUtf7, WhatTheEncoderWouldNotWriteIsNoName)
{
    for (const char* text : {"a&APw", "&", "&AGE-", "&ACY-", "&AOQ-&APY-", "&APx-", "&A-", "&2D0-", "&3gA-",
                             "&2D3eAA-&2D3eAA", "Grüße", "&A/w-", "&AAA-", "a\tb", "&AOQ=-"}) {
        EXPECT_EQ(DecodeModifiedUtf7(text), std::nullopt) << text;
    }
    EXPECT_EQ(EncodeModifiedUtf7("\xFF&"), "\xFF&");
}

TEST(HexIds, RoundTrip)
{
    EXPECT_EQ(HexEncode("Inbox/Ä"), "496E626F782FC384");
    EXPECT_EQ(HexDecode("496e626f782FC384"), std::optional<std::string>("Inbox/Ä"));
    EXPECT_EQ(HexDecode("4"), std::nullopt);
    EXPECT_EQ(HexDecode("ZZ"), std::nullopt);
    EXPECT_EQ(HexEncode(""), "");
}

}  // namespace
