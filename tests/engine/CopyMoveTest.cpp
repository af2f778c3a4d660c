// Copy and move to folders of a real store, during the walk of a manual job.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/outlook/Store.h"
#include "tests/engine/JobTestSupport.h"

namespace fs = std::filesystem;
using test::SimpleMessage;
using Texts = std::vector<std::string>;

namespace {

class CopyMoveTest : public test::JobTest {};

TEST_F(CopyMoveTest, CopyWithoutMaskGoesIntoTheFolderItself)
{
    for (const char* s : {"A", "B", "C"}) store.Builder().Add("Inbox", SimpleMessage(s));
    store.Builder().Folder("Archive");
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().CopyEmails1(), "Archive");
    engine.Execute();

    EXPECT_EQ(Subjects("Inbox"), (Texts{"A", "B", "C"})) << "the walk meets no copy and the originals stay";
    EXPECT_EQ(Subjects("Archive"), (Texts{"C", "B", "A"}));
    EXPECT_TRUE(store.Folder("Archive")->Folders()->Count() == 0);
    EXPECT_EQ(engine.FEmailsCopied, 3);
    EXPECT_EQ(engine.ItemsInspected(), 3);
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 3   \r\nE-mails processed: 3   \r\n"
              "\r\nE-mails copied: 3   \r\n");
    EXPECT_TRUE(errors.empty());
}

TEST_F(CopyMoveTest, MaskMakesYearAndMonthSubfoldersOnce)
{
    test::TestMessage june;
    june.subject = "June";
    test::TestMessage july = june;
    july.subject = "July";
    july.date = "Tue, 02 Jul 2024 09:00:00 +0000";
    store.Builder().Add("Inbox", test::MessageText(june));
    store.Builder().Add("Inbox", test::MessageText(july));
    store.Builder().Add("Inbox", test::MessageText(june));
    store.Builder().Folder("Archive/2024");  // an existing part is reused, not doubled
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().CopyEmails2(), "Archive", " [Y] \\\\[M]\\");
    engine.Execute();

    EXPECT_EQ(store.Folder("Archive/2024")->Folders()->Count(), 2);
    EXPECT_EQ(Subjects("Archive/2024/06"), (Texts{"June", "June"}));
    EXPECT_EQ(Subjects("Archive/2024/07"), Texts{"July"});
    EXPECT_EQ(Subjects("Inbox").size(), 3u);
    EXPECT_EQ(engine.FEmailsCopied, 3);
}

TEST_F(CopyMoveTest, BothCopiesAndTheMoveInTheirPlaces)
{
    for (const char* s : {"A", "B"}) store.Builder().Add("Inbox", SimpleMessage(s));
    for (const char* f : {"One", "Two", "Done"}) store.Builder().Folder(f);
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().CopyEmails1(), "One");
    PointAt(engine.ManualOptions().CopyEmails2(), "Two");
    PointAt(engine.ManualOptions().MoveEmails(), "Done");
    engine.Execute();

    EXPECT_TRUE(Subjects("Inbox").empty());
    EXPECT_EQ(Subjects("One"), (Texts{"B", "A"}));
    EXPECT_EQ(Subjects("Two"), (Texts{"B", "A"}));
    EXPECT_EQ(Subjects("Done"), (Texts{"B", "A"}));
    EXPECT_EQ(ActionSteps(), (Texts{"Copying to folder", "Copying to folder", "Moving to folder",
                                    "Copying to folder", "Copying to folder", "Moving to folder"}));
    EXPECT_EQ(engine.GetResultText(),
              "Folders inspected: 1   \r\nItems inspected: 2   \r\nE-mails processed: 2   \r\n"
              "\r\nE-mails copied: 4   \r\n\r\nE-mails moved: 2   \r\n");
}

TEST_F(CopyMoveTest, MovesIntoMoreFoldersThanKeepTheirListsStayInTheOrderTheyCame)
{
    // Two messages per sender, more senders than folders keep their lists after items
    // arrived: the first destinations are read again from disk after the run.
    const int senders = static_cast<int>(outlook::kKeptArrivalLists) + 2;
    for (int round = 0; round < 2; ++round) {
        for (int s = 0; s < senders; ++s) {
            test::TestMessage m;
            m.from = "S" + std::to_string(s) + " <s" + std::to_string(s) + "@example.com>";
            m.subject = m.from.substr(0, m.from.find(' ')) + (round == 0 ? " old" : " new");
            store.Builder().Add("Inbox", test::MessageText(m));
        }
    }
    store.Builder().Folder("Archive");
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().MoveEmails(), "Archive", "[SN]");
    engine.Execute();

    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(Subjects("Inbox").empty());
    for (int s = 0; s < senders; ++s) {
        const std::string sender = "S" + std::to_string(s);
        EXPECT_EQ(Subjects("Archive/" + sender), (Texts{sender + " new", sender + " old"})) << sender;
    }
}

TEST_F(CopyMoveTest, FailedMoveOfTheCopyLeavesNoDuplicateBehind)
{
    for (const char* s : {"A", "B"}) store.Builder().Add("Inbox", SimpleMessage(s));
    const fs::path archive = store.Builder().Folder("Archive");
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().CopyEmails1(), "Archive");
    engine.ManualOptions().ReadUnread().Mode = 2;
    // After the job was checked, the destination can no longer take a message.
    onStep = [&](const std::string& action) {
        if (action != "Copying to folder" || fs::is_regular_file(archive / "cur")) return;
        fs::remove_all(archive / "cur");
        test::WriteFile(archive / "cur", "");
    };
    engine.Execute();

    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].rfind("B: ", 0), 0u) << errors[0];
    EXPECT_EQ(Subjects("Inbox"), (Texts{"A", "B"})) << "no copy stays in the source folder";
    EXPECT_TRUE(Subjects("Deleted Items").empty()) << "the copies are removed for good";
    EXPECT_EQ(engine.FEmailsCopied, 0);
    EXPECT_EQ(engine.FEmailsMarked, 0) << "the later actions of a failed item are skipped";
}

TEST_F(CopyMoveTest, MissingDestinationIsAnItemErrorAndTheRunGoesOn)
{
    store.Builder().Add("Inbox", SimpleMessage("A"));
    store.Builder().Add("Inbox", SimpleMessage("B"));
    store.Builder().Folder("Archive");
    FolderJob("Inbox");
    PointAt(engine.ManualOptions().MoveEmails(), "Archive");
    onStep = [&](const std::string& action) {
        if (action == "Moving to folder") engine.ManualOptions().MoveEmails().Entry = "4E4F4E45";  // "NONE"
    };
    engine.Execute();
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(Subjects("Inbox"), (Texts{"A", "B"}));
    EXPECT_EQ(engine.FEmailsMoved, 0);
}

}  // namespace
