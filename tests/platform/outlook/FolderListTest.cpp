// The message list of a folder in memory: kept while a collection or an item uses it (and for
// the last folders that items arrived in), dropped after, and read again in the same order.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/outlook/Objects.h"
#include "tests/platform/outlook/StoreFixture.h"

using namespace outlook;
using outlook_test::StoreTest;
using Texts = std::vector<std::string>;

namespace {

class FolderListTest : public StoreTest {
protected:
    static Texts Subjects(const ComPtr<IMAPIFolder>& folder)
    {
        Texts subjects;
        const auto items = folder->Items();
        for (int i = 1; i <= items->Count(); ++i) subjects.push_back(items->Item(i)->Subject());
        return subjects;
    }

    /// A record of the folder's list in memory (read when it is not): it ends when the list is dropped.
    static std::weak_ptr<MessageRecord> FirstRecord(const ComPtr<IMAPIFolder>& folder)
    {
        return StateOf(folder)->Records().At(0);
    }

    /// Copies a message into as many new folders as the store keeps lists of arrivals for, so
    /// that the folders used before keep their lists only if something else holds them.
    void ArriveElsewhere()
    {
        const std::string round = std::to_string(++rounds_);
        store_.Add("Spares " + round, test::SimpleMessage("spare"));
        const auto spare = FolderAt("Spares " + round)->Items()->Item(1);
        const auto top = Ns()->Folders()->Item(1)->Folders();
        for (std::size_t i = 0; i < kKeptArrivalLists; ++i) {
            spare->Copy()->Move(top->Add("Spare " + round + "-" + std::to_string(i)));
        }
    }

    int rounds_ = 0;
};

TEST_F(FolderListTest, ListLivesWhileACollectionOrAnItemUsesItAndNotForTheFolderObject)
{
    store_.Add("Inbox", test::SimpleMessage("a"));
    store_.Add("Inbox", test::SimpleMessage("b"));
    const auto inbox = Inbox();
    auto items = inbox->Items();
    auto item = items->Item(2);
    const std::weak_ptr<MessageRecord> record = FirstRecord(inbox);

    items.Reset();
    EXPECT_FALSE(record.expired()) << "an item keeps the list of its folder";
    EXPECT_EQ(inbox->Items()->Item(2).Get(), item.Get()) << "and so stays the one object of its message";
    item.Reset();
    EXPECT_TRUE(record.expired()) << "the folder object alone keeps no list";
    EXPECT_EQ(Subjects(inbox), (Texts{"a", "b"}));
}

TEST_F(FolderListTest, MovedInItemsStayLastInTheOrderTheyCameWhenTheListIsReadAgain)
{
    for (const char* s : {"a", "b", "c"}) store_.Add("Inbox", test::SimpleMessage(s));
    store_.Add("Inbox/Archive", test::SimpleMessage("x"));  // its name sorts after those of a, b, c
    const auto archive = FolderAt("Inbox/Archive");
    {
        const auto items = Inbox()->Items();
        items->Item(3)->Move(archive);
        items->Item(1)->Move(archive);
    }
    const std::weak_ptr<MessageRecord> record = FirstRecord(archive);
    EXPECT_EQ(Subjects(archive), (Texts{"x", "c", "a"}));
    EXPECT_FALSE(record.expired()) << "a folder that items arrived in keeps its list for the next ones";

    ArriveElsewhere();
    EXPECT_TRUE(record.expired());
    EXPECT_EQ(Subjects(archive), (Texts{"x", "c", "a"}));

    {
        const auto c = archive->Items()->Item(2);
        c->Move(Inbox());
        c->Move(archive);
    }
    ArriveElsewhere();
    EXPECT_EQ(Subjects(archive), (Texts{"x", "a", "c"}))
        << "an item that came again counts by its last arrival";
    EXPECT_EQ(Subjects(Inbox()), Texts{"b"});
}

TEST_F(FolderListTest, ListReadAgainIsOneLiveListForEveryCollection)
{
    for (const char* s : {"a", "b", "c"}) store_.Add("Inbox", test::SimpleMessage(s));
    const auto archive = Inbox()->Folders()->Add("Archive");
    {
        const auto items = Inbox()->Items();
        items->Item(1)->Copy()->Move(archive);
        items->Item(2)->Move(archive);
    }
    const std::weak_ptr<MessageRecord> record = FirstRecord(archive);
    ArriveElsewhere();
    ASSERT_TRUE(record.expired());

    const auto one = archive->Items();
    const auto two = archive->Items();
    EXPECT_EQ(two->Count(), 2);
    one->Item(1)->Delete();
    EXPECT_EQ(two->Count(), 1);
    EXPECT_EQ(two->Item(1)->Subject(), "b");
    Inbox()->Items()->Item(1)->Move(archive);
    EXPECT_EQ(one->Count(), 2);
    EXPECT_EQ(two->Item(2)->Subject(), "a");
}

TEST_F(FolderListTest, ItemThatLivesKeepsItsObjectWhenItsFolderLeftTheRecentArrivals)
{
    store_.Add("Inbox", test::SimpleMessage("kept"));
    const auto archive = Inbox()->Folders()->Add("Archive");
    const auto item = InboxItem(1);
    item->Move(archive);
    ArriveElsewhere();
    EXPECT_EQ(archive->Items()->Item(1).Get(), item.Get());
    item->Delete();
    EXPECT_EQ(archive->Items()->Count(), 0);
}

TEST_F(FolderListTest, WalkOverManyMessagesKeepsTheirChangesAndTheObjectsInUse)
{
    // Enough messages that the list lets go of the records of items no longer in use
    // several times during the walk.
    constexpr int kCount = 300;
    Texts stayed;
    for (int i = 1; i <= kCount; ++i) {
        store_.Add("Inbox", test::SimpleMessage("m" + std::to_string(i)));
        if (i % 10 != 0) stayed.push_back("m" + std::to_string(i));
    }
    const auto archive = Inbox()->Folders()->Add("Archive");
    const auto items = Inbox()->Items();
    const auto first = items->Item(1);
    const auto middle = items->Item(155);
    const auto movedButHeld = items->Item(160);
    for (int n = kCount; n >= 1; --n) {
        const auto item = items->Item(n);
        if (n % 10 == 0) {
            item->Move(archive);
        } else {
            item->SetUnread(true);
            item->Save();
        }
    }

    ASSERT_EQ(items->Count(), static_cast<int>(stayed.size()));
    EXPECT_EQ(items->Item(1).Get(), first.Get());
    EXPECT_EQ(items->Item(155 - 15).Get(), middle.Get()) << "fifteen items before it moved away";
    for (int n = 1; n <= items->Count(); ++n) {
        const auto item = items->Item(n);
        EXPECT_TRUE(item->Unread()) << "the flag saved before the list let go of the record, item " << n;
        EXPECT_EQ(item->Subject(), stayed[static_cast<std::size_t>(n - 1)]);
    }
    const auto moved = archive->Items();
    ASSERT_EQ(moved->Count(), kCount / 10);
    EXPECT_EQ(moved->Item(1)->Subject(), "m300");
    EXPECT_EQ(moved->Item(kCount / 10 - 15).Get(), movedButHeld.Get());
}

TEST_F(FolderListTest, FilesAnotherProgramAddedKeepTheirPlaceWhenTheListIsReadAgain)
{
    store_.Add("Inbox", test::SimpleMessage("b"));
    const auto inbox = Inbox();
    auto items = inbox->Items();
    const std::weak_ptr<MessageRecord> record = FirstRecord(inbox);
    // A name that sorts before every other, found while the list is in memory.
    test::WriteFile(store_.Root() / "Inbox" / "cur" / "1000000000.early:2,S", test::SimpleMessage("early"));
    EXPECT_EQ(Subjects(inbox), (Texts{"b", "early"}));
    items.Reset();
    ASSERT_TRUE(record.expired());
    EXPECT_EQ(Subjects(inbox), (Texts{"b", "early"}));
}

}  // namespace
