// Changing items: Save, flags, attachments, Copy, Move, Delete, SaveAs, live counts.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <fstream>
#include <set>
#include <thread>

#include "platform/outlook/msg/MsgFile.h"
#include "platform/runtime/FileIO.h"
#include "tests/platform/outlook/StoreFixture.h"

using namespace outlook;
using outlook_test::StoreTest;
namespace fs = std::filesystem;

namespace {

/// Runs Debian's msgconvert in the file's folder, where it writes "<stem>.eml"; false when it fails.
bool MsgConvert(const fs::path& file)
{
    const std::string command =
        "cd '" + file.parent_path().string() + "' && msgconvert '" + file.filename().string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

class StorageTest : public StoreTest {
protected:
    std::string OnlyFile(const std::string& folder)
    {
        const auto files = store_.Files(folder);
        EXPECT_EQ(files.size(), 1u);
        return files.empty() ? std::string() : files.front().string();
    }
};

TEST_F(StorageTest, SubjectChangeKeepsEveryOtherByteAndTheFlags)
{
    test::TestMessage m;
    m.attachments = {{"a.bin", std::string("\x00\x01\x02", 3)}};
    const std::string original = test::MessageText(m);
    store_.Add("Inbox", original, "FS");
    auto item = InboxItem(1);
    item->SetSubject("Neu: Grüße");
    item->Save();
    const std::string path = OnlyFile("Inbox");
    EXPECT_NE(path.find(":2,FS"), std::string::npos);
    const std::string saved = test::ReadFile(path);
    std::string expected = original;
    const auto at = expected.find("Subject: Test message\n");
    expected.replace(at, 22, "Subject: Neu: =?UTF-8?b?R3LDvMOfZQ==?=\n");
    EXPECT_EQ(saved, expected);
    app_.Reset();
    EXPECT_EQ(InboxItem(1)->Subject(), "Neu: Grüße");
}

TEST_F(StorageTest, SubjectWrittenBackUnchangedLeavesTheFileAlone)
{
    const auto path = store_.Add("Inbox", "Subject:  odd   spacing\nFrom: a@b.c\n\nbody\n");
    auto item = InboxItem(1);
    item->SetSubject(item->Subject());
    item->Save();
    EXPECT_EQ(test::ReadFile(path), "Subject:  odd   spacing\nFrom: a@b.c\n\nbody\n");
}

TEST_F(StorageTest, UnreadRoundTripRenamesOnly)
{
    const std::string text = test::SimpleMessage("flags");
    store_.Add("Inbox", text, "", true);
    auto item = InboxItem(1);
    EXPECT_TRUE(item->Unread());
    item->SetUnread(false);
    item->Save();
    const std::string path = OnlyFile("Inbox");
    EXPECT_NE(path.find("/cur/"), std::string::npos);
    EXPECT_EQ(path.substr(path.size() - 4), ":2,S");
    EXPECT_EQ(test::ReadFile(path), text);
    item->SetUnread(true);
    item->Save();
    EXPECT_EQ(OnlyFile("Inbox").substr(path.size() - 4), ":2,");
    app_.Reset();
    EXPECT_TRUE(InboxItem(1)->Unread());
}

TEST_F(StorageTest, AttachmentDeleteReachesTheFileAtSave)
{
    test::TestMessage m;
    m.attachments = {{"keep.txt", "keep me\n", "text/plain"}, {"drop.pdf", "%PDF-1.4 drop", "application/pdf"}};
    store_.Add("Inbox", test::MessageText(m));
    auto item = InboxItem(1);
    auto atts = item->Attachments();
    ASSERT_EQ(atts->Count(), 2);
    atts->Item(2)->Delete();
    EXPECT_EQ(atts->Count(), 1);
    EXPECT_NE(test::ReadFile(OnlyFile("Inbox")).find("drop.pdf"), std::string::npos);
    item->Save();
    const std::string saved = test::ReadFile(OnlyFile("Inbox"));
    EXPECT_EQ(saved.find("drop.pdf"), std::string::npos);
    EXPECT_NE(saved.find("Content-Disposition: attachment; filename=\"keep.txt\"\nContent-Transfer-Encoding: base64\n\na2VlcCBtZQo=\n"),
              std::string::npos);
    app_.Reset();
    auto reread = InboxItem(1)->Attachments();
    ASSERT_EQ(reread->Count(), 1);
    EXPECT_EQ(reread->Item(1)->Filename(), "keep.txt");
}

TEST_F(StorageTest, AttachmentDeleteKeepsEveryOtherPartByteForByte)
{
    const std::string head =
        "From: a@b.c\nTo: x@y.z,\n   w@v.u\nSubject: s\nMIME-Version: 1.0\nContent-Type: multipart/mixed;\n boundary=\"BB\"\n\npreamble\n"
        "--BB\nContent-Type: text/plain;  charset=us-ascii\n\nbody text\n"
        "--BB\nContent-Type: application/octet-stream; name=keep.bin\nContent-Disposition: attachment;\n\tfilename=keep.bin\n"
        "Content-Transfer-Encoding: base64\n\nAAECAwQF\nBgcI\n";
    const std::string dropped = "--BB\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=drop.bin\n\nxx\n";
    const std::string tail = "--BB--\nepilogue\n";
    store_.Add("Inbox", head + dropped + tail, "FS");
    auto item = InboxItem(1);
    item->Attachments()->Item(2)->Delete();
    item->Save();
    const std::string path = OnlyFile("Inbox");
    EXPECT_EQ(test::ReadFile(path), head + tail);
    EXPECT_EQ(path.substr(path.size() - 5), ":2,FS");
}

TEST_F(StorageTest, LargeMessageIsReadFromItsFileAcrossItsOwnReplacement)
{
    // Large enough to be parsed from the file rather than from a copy in memory.
    std::string big(6 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) >> 3);
    test::TestMessage m;
    m.attachments = {{"big.bin", big}, {"drop.txt", "drop me\n", "text/plain"}};
    store_.Add("Inbox", test::MessageText(m), "S");
    auto item = InboxItem(1);
    auto atts = item->Attachments();
    atts->Item(2)->Delete();
    item->Save();  // a new file replaces the one the parts are read from
    const auto out = dir_ / "big.bin";
    atts->Item(1)->SaveAsFile(out.string());
    EXPECT_EQ(test::ReadFile(out), big);
    app_.Reset();
    auto reread = InboxItem(1)->Attachments();
    ASSERT_EQ(reread->Count(), 1);
    reread->Item(1)->SaveAsFile(out.string());
    EXPECT_EQ(test::ReadFile(out), big);
}

TEST_F(StorageTest, SubjectWithLineBreaksStaysInItsHeader)
{
    store_.Add("Inbox", test::SimpleMessage("x"));
    auto item = InboxItem(1);
    item->SetSubject("one\r\n\r\nBcc: intruder@example.com\ntwo");
    item->Save();
    app_.Reset();
    auto reread = InboxItem(1);
    EXPECT_EQ(reread->Body(), "Hello.\r\n");
    EXPECT_EQ(reread->Recipients()->Count(), 1);
    EXPECT_EQ(reread->Subject().substr(0, 3), "one");
}

TEST_F(StorageTest, AttachmentAddCopiesTheBytesWithSniffedType)
{
    store_.Add("Inbox", test::SimpleMessage("plain"));
    const auto file = dir_ / "report.pdf";
    test::WriteFile(file, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n");
    auto item = InboxItem(1);
    auto added = item->Attachments()->Add(file.string(), olByValue, 0, std::string("Shown name"));
    fs::remove(file);  // the bytes were taken during the call
    EXPECT_EQ(added->DisplayName(), "Shown name");
    EXPECT_EQ(added->Filename(), "report.pdf");
    item->Save();
    app_.Reset();
    auto reread = InboxItem(1);
    EXPECT_EQ(reread->Body(), "Hello.\r\n");
    ASSERT_EQ(reread->Attachments()->Count(), 1);
    const auto out = dir_ / "out.pdf";
    reread->Attachments()->Item(1)->SaveAsFile(out.string());
    EXPECT_EQ(test::ReadFile(out), "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n");
    EXPECT_NE(test::ReadFile(OnlyFile("Inbox")).find("Content-Type: application/pdf"), std::string::npos);
}

TEST_F(StorageTest, SaveAsFileTakesANameOfTheFullLength)
{
    test::TestMessage m;
    m.attachments = {{"a.bin", "bytes"}};
    store_.Add("Inbox", test::MessageText(m));
    const auto folder = dir_ / "out";
    fs::create_directory(folder);
    const auto out = folder / (std::string(251, 'n') + ".bin");  // 255 bytes: the longest legal name
    InboxItem(1)->Attachments()->Item(1)->SaveAsFile(out.string());
    EXPECT_EQ(test::ReadFile(out), "bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "no temporary file is left beside it";
}

TEST_F(StorageTest, AttachmentNamesAndAttachedMail)
{
    test::TestMessage m;
    m.attachments = {{"Übersicht 2024.xlsx", "x"}};
    m.attachedMessages = {test::SimpleMessage("Inner subject", "inner body\n")};
    std::string text = test::MessageText(m);
    text.insert(text.find("--mixed-boundary--"),
                "--mixed-boundary\nContent-Type: text/plain; name=\"=?UTF-8?Q?R=C3=A9sum=C3=A9.txt?=\"\n"
                "Content-Disposition: attachment; filename=\"=?UTF-8?Q?R=C3=A9sum=C3=A9.txt?=\"\n\nCV\n");
    store_.Add("Inbox", text);
    auto atts = InboxItem(1)->Attachments();
    ASSERT_EQ(atts->Count(), 3);
    EXPECT_EQ(atts->Item(1)->Filename(), "Übersicht 2024.xlsx");
    EXPECT_EQ(atts->Item(1)->Type(), olByValue);
    EXPECT_EQ(atts->Item(2)->Type(), olEmbeddedItem);
    EXPECT_EQ(atts->Item(2)->DisplayName(), "Inner subject");
    EXPECT_EQ(atts->Item(3)->Filename(), "Résumé.txt");
    const auto saved = dir_ / "inner.eml";
    atts->Item(2)->SaveAsFile(saved.string());
    auto opened = App()->CreateItemFromTemplate(saved.string());
    EXPECT_EQ(opened->Class(), olMail);
    EXPECT_EQ(opened->Subject(), "Inner subject");
    EXPECT_EQ(opened->Body(), "inner body\r\n");
    EXPECT_EQ(opened->Parent(), nullptr);
    opened->Delete();
}

TEST_F(StorageTest, WalkFromLastToFirstWithMovesCopiesAndDeletes)
{
    for (int i = 1; i <= 6; ++i) store_.Add("Inbox", test::SimpleMessage("m" + std::to_string(i)));
    auto archive = Inbox()->Folders()->Add("Archive");
    auto items = Inbox()->Items();
    std::vector<std::string> seen;
    for (int n = items->Count(); n >= 1; --n) {
        if (n > items->Count()) continue;
        auto item = items->Item(n);
        seen.push_back(item->Subject());
        if (n % 3 == 0) item->Move(archive);
        else if (n % 3 == 1) item->Delete();
        else item->Copy()->Move(archive);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"m6", "m5", "m4", "m3", "m2", "m1"}));
    EXPECT_EQ(items->Count(), 2);  // m2 and m5 stayed, their copies moved
    EXPECT_EQ(archive->Items()->Count(), 4);
    EXPECT_EQ(FolderAt("Deleted Items")->Items()->Count(), 2);
    // Items moved in are appended in the order they came.
    EXPECT_EQ(archive->Items()->Item(1)->Subject(), "m6");
    EXPECT_EQ(archive->Items()->Item(4)->Subject(), "m2");
}

TEST_F(StorageTest, MoveKeepsTheObjectAndDeleteInDeletedItemsIsForGood)
{
    store_.Add("Inbox", test::SimpleMessage("bye"), "RS");
    auto item = InboxItem(1);
    auto moved = item->Move(FolderAt("Inbox")->Folders()->Add("Old"));
    EXPECT_EQ(moved.Get(), item.Get());
    EXPECT_EQ(moved->Parent().As<IMAPIFolder>()->Name(), "Old");
    EXPECT_NE(store_.Files("Inbox/Old").front().string().find(":2,RS"), std::string::npos);
    item->Delete();
    EXPECT_EQ(store_.Files("Deleted Items").size(), 1u);
    item->Delete();
    EXPECT_TRUE(store_.Files("Deleted Items").empty());
    EXPECT_THROW(item->Subject(), ComError);
}

TEST_F(StorageTest, MoveNeverReplacesAFileAndMakesRemovedFolderDirectoriesAgain)
{
    const fs::path first = store_.Add("Inbox", test::SimpleMessage("first"));
    store_.Add("Inbox", test::SimpleMessage("second"));
    const fs::path old = store_.Folder("Old");
    // Another program holds a file of the first message's name in the destination.
    test::WriteFile(old / "cur" / first.filename(), test::SimpleMessage("theirs"));
    auto items = Inbox()->Items();
    auto dest = FolderAt("Old");
    items->Item(1)->Move(dest);
    ASSERT_EQ(store_.Files("Old").size(), 2u);
    EXPECT_NE(test::ReadFile(old / "cur" / first.filename()).find("Subject: theirs"), std::string::npos);
    // The folder's directories go away after the first move; the next one makes them again.
    fs::remove_all(old);
    EXPECT_EQ(items->Item(1)->Move(dest)->Subject(), "second");
    EXPECT_EQ(store_.Files("Old").size(), 1u);
    EXPECT_TRUE(fs::is_directory(old / "tmp"));
}

/// The permission bits of a file or folder.
unsigned ModeOf(const fs::path& path)
{
    return static_cast<unsigned>(fs::status(path).permissions()) & 07777;
}

TEST_F(StorageTest, FilesKeepTheModesOfWhatTheyReplaceOrCopy)
{
    const fs::path rewritten = store_.Add("Inbox", test::SimpleMessage("rewritten"));
    const fs::path copied = store_.Add("Inbox", test::SimpleMessage("copied"));
    fs::permissions(rewritten, fs::perms(0640));
    fs::permissions(copied, fs::perms(0604));
    auto archive = Inbox()->Folders()->Add("Archive");
    fs::permissions(store_.Dir("Inbox/Archive"), fs::perms(0750));

    auto first = InboxItem(1);
    first->SetSubject("Re: rewritten");
    first->Save();
    EXPECT_EQ(ModeOf(store_.Files("Inbox").front()), 0640u) << "a rewritten message keeps its mode";
    InboxItem(2)->Copy()->Move(archive);
    EXPECT_EQ(ModeOf(store_.Files("Inbox/Archive").front()), 0604u) << "a copy keeps the message's mode";

    first->SaveAs((dir_ / "new.eml").string(), olRFC822);
    EXPECT_EQ(ModeOf(dir_ / "new.eml"), static_cast<unsigned>(NewFileMode())) << "0666 less the umask";
    test::WriteFile(dir_ / "kept.txt", "old");
    fs::permissions(dir_ / "kept.txt", fs::perms(0600));
    first->SaveAs((dir_ / "kept.txt").string(), olTXT);
    EXPECT_EQ(ModeOf(dir_ / "kept.txt"), 0600u) << "a replaced file keeps its mode, as with cp";

    // A message new in a folder takes the folder's mode without the execute bits.
    App()->CreateItemFromTemplate((dir_ / "new.eml").string())->Move(archive);
    std::multiset<unsigned> modes;
    for (const fs::path& file : store_.Files("Inbox/Archive")) modes.insert(ModeOf(file));
    EXPECT_EQ(modes, (std::multiset<unsigned>{0604u, 0640u}));
}

TEST_F(StorageTest, SaveAsTextHtmlAndRfc822)
{
    test::TestMessage m;
    m.cc = "Cy <cy@example.com>";
    m.html = "<html><head><meta charset=\"iso-8859-1\"></head><body>Grüße</body></html>";
    m.body = "Grüße\n";
    const auto stored = store_.Add("Inbox", test::MessageText(m));
    auto item = InboxItem(1);
    item->SaveAs((dir_ / "a.txt").string(), olTXT);
    const std::string text = test::ReadFile(dir_ / "a.txt");
    EXPECT_EQ(text.find("From:\tAnn Sender\r\nSent:\t"), 0u);
    EXPECT_NE(text.find("\r\nTo:\tBob Receiver\r\nCC:\tCy\r\nSubject:\tTest message\r\n\r\nGrüße\r\n"), std::string::npos);
    item->SaveAs((dir_ / "a.htm").string(), olHTML);
    EXPECT_EQ(test::ReadFile(dir_ / "a.htm"), "<html><head><meta charset=\"utf-8\"></head><body>Grüße</body></html>");
    item->SaveAs((dir_ / "a.eml").string(), olRFC822);
    EXPECT_EQ(test::ReadFile(dir_ / "a.eml"), test::ReadFile(stored));
    EXPECT_THROW(item->SaveAs((dir_ / "a.x").string(), 42), ComError);
}

TEST_F(StorageTest, SaveAsRfc822KeepsLineFeedsThatAreData)
{
    const std::string binary("\x89PNG\r\n\x1a\n\0\n\r", 11);
    const std::string text = "From: a@b.c\nSubject: Binary\nMIME-Version: 1.0\n"
                             "Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: text/plain\n\nSee it.\n"
                             "--b\nContent-Type: image/png; name=\"i.png\"\nContent-Transfer-Encoding: binary\n\n" +
                             binary + "\n--b--\n";
    store_.Add("Inbox", text);
    InboxItem(1)->SaveAs((dir_ / "b.eml").string(), olRFC822);
    EXPECT_EQ(test::ReadFile(dir_ / "b.eml"), text);
    auto opened = App()->CreateItemFromTemplate((dir_ / "b.eml").string());
    opened->Attachments()->Item(1)->SaveAsFile((dir_ / "i.png").string());
    EXPECT_EQ(test::ReadFile(dir_ / "i.png"), binary);
}

TEST_F(StorageTest, SaveAsRfc822HoldsTheSavedChangesOnly)
{
    test::TestMessage m;
    m.attachments = {{"first.txt", "first\n", "text/plain"}};
    store_.Add("Inbox", test::MessageText(m));
    const auto file = dir_ / "second.txt";
    test::WriteFile(file, "second\n");
    auto item = InboxItem(1);
    item->SetSubject("Saved");
    auto added = item->Attachments()->Add(file.string(), olByValue, 0, std::string("Second"));
    item->Save();
    item->SetSubject("Not saved");
    item->SaveAs((dir_ / "out.eml").string(), olRFC822);
    const std::string eml = test::ReadFile(dir_ / "out.eml");
    EXPECT_NE(eml.find("\nSubject: Saved\n"), std::string::npos);
    EXPECT_EQ(eml.find("Not saved"), std::string::npos);
    // The added file comes after the one that was there.
    const auto first = eml.find("filename=\"first.txt\"");
    const auto second = eml.find("second.txt");
    ASSERT_NE(first, std::string::npos) << eml;
    ASSERT_NE(second, std::string::npos) << eml;
    EXPECT_LT(first, second);
    EXPECT_EQ(item->Attachments()->Item(2)->DisplayName(), "Second");
}

TEST_F(StorageTest, SaveAsHtmlDeclaresTheCharsetOfItsBytes)
{
    test::TestMessage m;
    m.html = "<html><head><title>t</title></head><body>Grüße</body></html>";
    store_.Add("Inbox", test::MessageText(m));
    std::string latin = test::SimpleMessage("latin");
    latin.replace(latin.find("text/plain; charset=utf-8"), 25, "text/html; charset=iso-8859-1");
    latin.replace(latin.find("Hello.\n"), 7, "<p>Gr\xFC\xDF" "e</p>\n");
    store_.Add("Inbox", latin);
    InboxItem(1)->SaveAs((dir_ / "a.htm").string(), olHTML);
    EXPECT_EQ(test::ReadFile(dir_ / "a.htm"),
              "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">"
              "<title>t</title></head><body>Grüße</body></html>");
    InboxItem(2)->SaveAs((dir_ / "b.htm").string(), olHTML);
    EXPECT_EQ(test::ReadFile(dir_ / "b.htm"),
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><p>Grüße</p>\n");
}

TEST_F(StorageTest, MessageFilesSavedInAWalkHoldTheMessagesAsTheyAreWhenSaved)
{
    std::vector<fs::path> stored;
    for (int n = 1; n <= 9; ++n) {
        const std::string name = "message-" + std::to_string(n);
        stored.push_back(store_.Add("Inbox", test::SimpleMessage(name, "text of " + name + "\n")));
    }
    const auto saved = [this](int n, const char* extension) { return dir_ / (std::to_string(n) + extension); };
    auto items = Inbox()->Items();
    for (int n = items->Count(); n >= 1; --n) {
        auto item = items->Item(n);
        if (n == 6) {
            // The messages after this one in the walk have been read and converted by now; one
            // of them is rewritten in place by another program, its size the same.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            std::string text = test::ReadFile(stored[3]);
            for (auto at = text.find("message-4"); at != std::string::npos; at = text.find("message-4")) {
                text.replace(at, 9, "changed-4");
            }
            std::ofstream(stored[3], std::ios::binary | std::ios::trunc) << text;
        }
        EXPECT_EQ(item->Class(), olMail);  // what a job asks first
        if (n == 3) {
            // The job itself rewrites this one after reading its class, before saving it.
            item->SetSubject("saved-3");
            item->Save();
        }
        item->SaveAs(saved(n, ".txt").string(), olTXT);
        item->SaveAs(saved(n, ".msg").string(), olMSG);
    }
    for (int n = 1; n <= 9; ++n) {
        const std::string name = (n == 4 ? "changed-" : "message-") + std::to_string(n);
        const std::string subject = n == 3 ? "saved-3" : name;
        EXPECT_EQ(g_mime_message_get_subject(ReadMsgFile(saved(n, ".msg").string()).get()), subject);
        const std::string text = test::ReadFile(saved(n, ".txt"));
        EXPECT_NE(text.find("Subject:\t" + subject + "\r\n\r\ntext of " + name + "\r\n"), std::string::npos)
            << text;
    }
}

TEST_F(StorageTest, SaveAsMessageFileIsReadByAnotherProgramAndByUs)
{
    if (std::system("command -v msgconvert >/dev/null 2>&1") != 0) GTEST_SKIP() << "msgconvert is not installed";
    test::TestMessage m;
    m.cc = "Cy <cy@example.com>";
    m.body = "Erste Zeile\nGrüße\n";
    m.attachments = {{"data.bin", std::string("\x00\x01\xFF\xFE tail", 9)}, {"notes.txt", "plain notes\n"}};
    m.attachedMessages = {test::SimpleMessage("Inner one", "inner body\n")};
    store_.Add("Inbox", test::MessageText(m), "");
    auto item = InboxItem(1);
    item->SetSubject("Saved: Grüße");
    item->Save();
    const fs::path file = dir_ / "item.msg";
    item->SaveAs(file.string(), olMSG);
    ASSERT_TRUE(MsgConvert(file));

    auto converted = App()->CreateItemFromTemplate((dir_ / "item.eml").string());
    EXPECT_EQ(converted->Subject(), "Saved: Grüße");
    EXPECT_NE(converted->Body().find("Erste Zeile\r\nGrüße"), std::string::npos) << converted->Body();
    auto recipients = converted->Recipients();
    std::vector<std::string> addresses;
    for (int i = 1; i <= recipients->Count(); ++i) {
        addresses.push_back(std::to_string(recipients->Item(i)->Type()) + ":" + recipients->Item(i)->Address());
    }
    EXPECT_EQ(addresses, (std::vector<std::string>{"1:bob@example.com", "2:cy@example.com"}));
    auto atts = converted->Attachments();
    std::vector<std::string> files;
    for (int i = 1; i <= atts->Count(); ++i) {
        auto att = atts->Item(i);
        if (att->Type() != olByValue || att->Filename().empty()) continue;
        const fs::path out = dir_ / ("att-" + std::to_string(i));
        att->SaveAsFile(out.string());
        files.push_back(att->Filename() + "=" + test::ReadFile(out));
    }
    EXPECT_EQ(files, (std::vector<std::string>{std::string("data.bin=\x00\x01\xFF\xFE tail", 18),
                                               "notes.txt=plain notes\n"}));

    // Opened by content: the name's extension does not matter.
    const fs::path renamed = dir_ / "looks-like.eml";
    fs::copy_file(file, renamed);
    auto reopened = App()->CreateItemFromTemplate(renamed.string());
    EXPECT_EQ(reopened->Subject(), "Saved: Grüße");
    auto inner = reopened->Attachments();
    ASSERT_EQ(inner->Count(), 3);
    EXPECT_EQ(inner->Item(3)->Type(), olEmbeddedItem);
    EXPECT_EQ(inner->Item(3)->DisplayName(), "Inner one");
}

}  // namespace
