// The packed message list of a folder: its order, and the records it hands out.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/outlook/MessageList.h"
#include "tests/support/TempDir.h"

using namespace outlook;
namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

namespace {

class MessageListTest : public ::testing::Test {
protected:
    MessageListTest()
    {
        for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(Dir() / sub);
    }

    fs::path Dir() const { return dir_.Path() / "Folder"; }
    void Write(const std::string& subdirAndName)
    {
        test::WriteFile(Dir() / subdirAndName, "Subject: x\n\nx\n");
    }

    static Texts FileNames(MessageList& list)
    {
        Texts names;
        for (std::size_t i = 0; i < list.Size(); ++i) {
            const auto record = list.At(i);
            names.push_back(record->subdir + "/" + record->name.FileName());
        }
        return names;
    }

    test::TempDir dir_;
};

TEST_F(MessageListTest, ScanSortsByUniqueNameAndPutsTheNamedOnesLastInTheirOrder)
{
    for (const char* name : {"cur/3.c:2,S", "new/1.a", "cur/2.b:2,", "cur/.hidden", "cur/4.d:2,FS"})
        Write(name);
    MessageList byName = MessageList::Scan(Dir());
    EXPECT_EQ(FileNames(byName), (Texts{"new/1.a", "cur/2.b:2,", "cur/3.c:2,S", "cur/4.d:2,FS"}));

    MessageList arrivalsLast = MessageList::Scan(Dir(), {{"2.b", 1}, {"1.a", 0}});
    EXPECT_EQ(FileNames(arrivalsLast), (Texts{"cur/3.c:2,S", "cur/4.d:2,FS", "new/1.a", "cur/2.b:2,"}));
    EXPECT_EQ(MessageList::Scan({}).Size(), 0u) << "a folder without a Maildir of its own";
}

TEST_F(MessageListTest, ScanHoldsEachMessageOnceAndOnlyFiles)
{
    // Seen under two names, as a listing made during another program's rename can be.
    for (const char* name : {"cur/1.a:2,S", "cur/1.a:2,FS", "new/2.b", "cur/2.b:2,", "cur/3.c:2,"}) Write(name);
    fs::create_directory(Dir() / "cur" / "4.dir:2,S");
    fs::create_directory(Dir() / "new" / "5.dir");
    fs::create_symlink(Dir() / "cur" / "3.c:2,", Dir() / "new" / "6.link");
    fs::create_symlink(Dir() / "cur", Dir() / "new" / "7.dirlink");
    MessageList list = MessageList::Scan(Dir());
    Texts uniques;
    for (std::size_t i = 0; i < list.Size(); ++i) uniques.push_back(list.At(i)->name.unique);
    EXPECT_EQ(uniques, (Texts{"1.a", "2.b", "3.c", "6.link"}));

    MessageRecord renamed;
    renamed.name.unique = "2.b";
    EXPECT_EQ(MessageList::Find(Dir(), renamed), (Dir() / "cur/2.b:2,").native()) << "cur/ is looked at first";
    EXPECT_EQ(renamed.subdir + "/" + renamed.name.FileName(), "cur/2.b:2,");
    // Flags out of order: found under its own name, which the record does not give back.
    fs::rename(Dir() / "cur/3.c:2,", Dir() / "cur/3.c:2,SF");
    renamed.name.unique = "3.c";
    EXPECT_EQ(MessageList::Find(Dir(), renamed), (Dir() / "cur/3.c:2,SF").native());
    EXPECT_EQ(renamed.name.FileName(), "3.c:2,FS");
    renamed.name.unique = "4.dir";
    EXPECT_TRUE(MessageList::Find(Dir(), renamed).empty()) << "a directory is no message";
}

TEST_F(MessageListTest, UpdateKeepsPlacesAndHeldRecordsAndTakesTheNamesOnDisk)
{
    for (const char* name : {"cur/1.a:2,S", "cur/2.b:2,", "new/3.c"}) Write(name);
    MessageList list = MessageList::Scan(Dir());
    const RecordPtr heldB = list.At(1);
    const RecordPtr heldC = list.At(2);
    list.Remove(heldC.get());
    // Another program reads b, deletes a and delivers a message whose name sorts first.
    fs::rename(Dir() / "cur/2.b:2,", Dir() / "cur/2.b:2,FS");
    fs::remove(Dir() / "cur/1.a:2,S");
    Write("new/0.z");

    EXPECT_EQ(list.Update(MessageList::Scan(Dir())), (Texts{"0.z", "3.c"}))
        << "c was removed, so its file is new";
    EXPECT_EQ(FileNames(list), (Texts{"cur/2.b:2,FS", "new/0.z", "new/3.c"}));
    EXPECT_EQ(list.At(0), heldB);
    EXPECT_TRUE(heldB->name.HasFlag('F'));
}

TEST_F(MessageListTest, RecordLetGoKeepsItsRenameInTheList)
{
    constexpr std::size_t kCount = 200;
    for (std::size_t i = 0; i < kCount; ++i) Write("cur/" + std::to_string(1000 + i) + ".m:2,S");
    MessageList list = MessageList::Scan(Dir());
    auto record = std::make_shared<MessageRecord>();
    record->name = ParseMaildirName("9000.z:2,");
    record->subdir = "cur";
    list.Append(record);
    ASSERT_EQ(list.Size(), kCount + 1);
    EXPECT_EQ(list.At(kCount), record);
    record->name.SetFlag('S', true);  // an item saved it as read
    const std::weak_ptr<MessageRecord> appended = record;
    record.reset();

    for (std::size_t i = 0; i < kCount; ++i) list.At(i);
    EXPECT_TRUE(appended.expired()) << "the list let go of the records nobody else held";
    EXPECT_EQ(list.At(kCount)->name.FileName(), "9000.z:2,S");
    EXPECT_EQ(list.At(0)->name.FileName(), "1000.m:2,S");
}

TEST_F(MessageListTest, ListThatOnlyReceivesLetsGoOfTheRecordsNobodyHolds)
{
    MessageList list = MessageList::Scan(Dir());
    std::vector<std::weak_ptr<MessageRecord>> appended;
    const auto kept = std::make_shared<MessageRecord>();
    kept->name = ParseMaildirName("0.kept:2,S");
    kept->subdir = "cur";
    list.Append(kept);
    for (int i = 1; i <= 200; ++i) {
        auto record = std::make_shared<MessageRecord>();
        record->name = ParseMaildirName(std::to_string(i) + ".moved:2,S");
        record->subdir = "cur";
        appended.push_back(record);
        list.Append(std::move(record));
    }
    ASSERT_EQ(list.Size(), 201u);
    EXPECT_TRUE(appended.front().expired());
    EXPECT_EQ(list.At(0), kept) << "a record still held stays the message's record";
    EXPECT_EQ(list.At(200)->name.FileName(), "200.moved:2,S");
}

}  // namespace
