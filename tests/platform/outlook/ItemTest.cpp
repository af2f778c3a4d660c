// Reading items: classes, texts, addresses, dates, flags.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/outlook/Errors.h"
#include "tests/platform/outlook/StoreFixture.h"

using namespace outlook;
using outlook_test::StoreTest;

namespace {

class ItemTest : public StoreTest {};

TEST_F(ItemTest, ClassesOfMailPostReportAndMeeting)
{
    store_.Add("Inbox", test::SimpleMessage("mail"));
    store_.Add("Inbox", test::PostMessage("post"));
    store_.Add("Inbox", test::DeliveryReport("report"));
    store_.Add("Inbox", test::MeetingRequest("meeting"));
    auto items = Inbox()->Items();
    ASSERT_EQ(items->Count(), 4);
    EXPECT_EQ(items->Item(1)->Class(), olMail);
    EXPECT_EQ(items->Item(2)->Class(), olPost);
    EXPECT_EQ(items->Item(3)->Class(), olReport);
    EXPECT_EQ(items->Item(4)->Class(), olMeetingRequest);
}

TEST_F(ItemTest, HeadersAreDecoded)
{
    test::TestMessage m;
    m.from = "=?UTF-8?Q?J=C3=BCrgen_M=C3=BCller?= <jm@example.com>";
    m.to = "Bob <bob@example.com>, carol@example.com";
    m.cc = "Dan <dan@example.com>";
    m.subject = "=?ISO-8859-1?Q?Gr=FC=DFe?= aus Berlin";
    m.extraHeaders = {"Bcc: eve@example.com"};
    store_.Add("Inbox", test::MessageText(m));
    auto item = InboxItem(1);
    EXPECT_EQ(item->Subject(), "Grüße aus Berlin");
    EXPECT_EQ(item->SenderName(), "Jürgen Müller");
    EXPECT_EQ(item->SenderEmailAddress(), "jm@example.com");
    auto recipients = item->Recipients();
    ASSERT_EQ(recipients->Count(), 4);
    EXPECT_EQ(recipients->Item(1)->Name(), "Bob");
    EXPECT_EQ(recipients->Item(2)->Name(), "carol@example.com");
    EXPECT_EQ(recipients->Item(3)->Type(), olCC);
    EXPECT_EQ(recipients->Item(4)->Type(), olBCC);
    auto entry = recipients->Item(3)->AddressEntry();
    EXPECT_EQ(entry->Address(), "dan@example.com");
    EXPECT_EQ(entry->MAPIOBJECT().As<IAddressEntry>()->Address(), "dan@example.com");
}

TEST_F(ItemTest, BodiesPlainHtmlAndHtmlOnly)
{
    test::TestMessage both;
    both.body = "line one\nline two\n";
    both.html = "<html><body><p>Hi &amp; bye</p></body></html>";
    store_.Add("Inbox", test::MessageText(both));
    std::string htmlOnly = test::SimpleMessage("h");
    htmlOnly.replace(htmlOnly.find("text/plain"), 10, "text/html");
    htmlOnly.replace(htmlOnly.find("Hello."), 6, "<b>Hello</b><br>World &lt;3&gt;");
    store_.Add("Inbox", htmlOnly);
    EXPECT_EQ(InboxItem(1)->Body(), "line one\r\nline two\r\n");
    EXPECT_EQ(InboxItem(1)->HTMLBody(), "<html><body><p>Hi &amp; bye</p></body></html>");
    EXPECT_EQ(InboxItem(2)->HTMLBody().find("<b>Hello</b>"), 0u);
    EXPECT_EQ(InboxItem(2)->Body(), "Hello\r\nWorld <3>");
    store_.Add("Inbox", test::SimpleMessage("plain"));
    EXPECT_EQ(Inbox()->Items()->Item(3)->HTMLBody(), "");
}

/// Multipart messages whose body texts are read from the head of the file: each with what
/// its plain and HTML bodies are ("?" where only the whole message can tell).
struct HeadCase {
    const char* text;
    const char* body;
    const char* html;
};
const HeadCase kHeadCases[] = {
    // the body after more parts than a head is parsed for; HTML only in an attachment
    {"Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: application/pdf\n"
     "Content-Disposition: attachment; filename=a.pdf\n\nA\n--b\nContent-Type: image/png; name=b.png\n\nB\n"
     "--b\nContent-Type: text/html; name=page.html\n\n<p>no body</p>\n--b\nContent-Type: text/plain\n\nthe "
     "body\n"
     "--b--\n",
     "the body", ""},
    // an inner boundary that begins with the outer one; the HTML body in the second alternative
    {"Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: multipart/alternative; "
     "boundary=\"b-alt\"\n\n--b-alt\nContent-Type: text/plain\n\nplain\n--b-alt\nContent-Type: text/html\n\n"
     "<p>html</p>\n--b-alt--\n--b\nContent-Type: application/octet-stream\n\nX\n--b--\n",
     "plain", "<p>html</p>"},
    // a body line that begins like a delimiter; CR LF line ends
    {"Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\none\r\n"
     "--b and more\r\ntwo\r\n--b  \r\nContent-Type: text/html; name=\"x.html\"\r\n\r\n<p>x</p>\r\n--b--\r\n",
     "?", ""},
    // a top-level alternative after a preamble, its plain text in another charset
    {"Content-Type: multipart/alternative; boundary=\"=_q\"\n\npreamble\n--=_q\n"
     "Content-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: "
     "quoted-printable\n\nGr=FC=DFe\n"
     "--=_q\nContent-Type: text/html\n\n<b>Gr&uuml;&szlig;e</b>\n--=_q--\n",
     "Grüße", "<b>Gr&uuml;&szlig;e</b>"},
    // two Content-Type fields
    {"Content-Type: multipart/mixed; boundary=\"x\"\nContent-Type: multipart/mixed; boundary=\"b\"\n\n--b\n"
     "Content-Type: text/plain\n\nbody\n--b--\n",
     "?", "?"},
    // no closing delimiter: the text ends with the file
    {"Content-Type: multipart/mixed; boundary=\"b\"\n\n--b\nContent-Type: text/plain\n\nunfinished",
     "unfinished", ""},
};

TEST_F(ItemTest, BodiesFromTheHeadOfTheFileAreThoseOfTheWholeMessage)
{
    for (const HeadCase& c : kHeadCases) {
        store_.Add("Inbox", std::string("From: a@example.org\nSubject: s\nMIME-Version: 1.0\n") + c.text);
    }
    outlook::ApplicationConfig config;
    config.stores.push_back({"Mailbox", store_.Root().string(), outlook::StoreLayout::Detect});
    // Each reading through an application of its own, so that nothing read before is reused.
    const auto item = [&config](int index) {
        auto app = outlook::CreateApplication(config);
        return app->GetNamespace("MAPI")->GetDefaultFolder(olFolderInbox)->Items()->Item(index);
    };
    for (int i = 1; i <= static_cast<int>(std::size(kHeadCases)); ++i) {
        const HeadCase& c = kHeadCases[i - 1];
        auto whole = item(i);
        whole->Attachments();  // parses the whole message
        const std::string body = whole->Body(), html = whole->HTMLBody();
        EXPECT_EQ(item(i)->Body(), body) << "case " << i;
        auto pageFirst = item(i);  // as the export to a page asks
        EXPECT_EQ(pageFirst->HTMLBody(), html) << "case " << i;
        EXPECT_EQ(pageFirst->Body(), body) << "case " << i;
        if (std::string(c.body) != "?") {
            EXPECT_EQ(body, c.body) << "case " << i;
        }
        if (std::string(c.html) != "?") {
            EXPECT_EQ(html, c.html) << "case " << i;
        }
    }
}

TEST_F(ItemTest, SentDatesAndUnread)
{
    test::TestMessage unsent;
    unsent.extraHeaders = {"X-Unsent: 1"};
    store_.Add("Inbox", test::MessageText(unsent), "");
    store_.Add("Inbox", test::SimpleMessage("read"), "S");
    store_.Add("Inbox", test::SimpleMessage("new"), "", true);
    auto items = Inbox()->Items();
    EXPECT_FALSE(items->Item(1)->Sent());
    EXPECT_TRUE(items->Item(2)->Sent());
    EXPECT_TRUE(items->Item(1)->Unread());
    EXPECT_FALSE(items->Item(2)->Unread());
    EXPECT_TRUE(items->Item(3)->Unread());
    // 2024-06-03 14:05:00 UTC is day 45446 of the OLE calendar; local time differs by hours only.
    EXPECT_NEAR(items->Item(2)->SentOn(), 45446.586, 1.0);
    // The fixture's file names start with 1717423501 (2024-06-03 14:05:01 UTC).
    EXPECT_NEAR(items->Item(2)->ReceivedTime(), 45446.586, 1.0);
    EXPECT_GT(items->Item(2)->CreationTime(), 45000.0);
}

TEST_F(ItemTest, ReceivedTimeFromTheNameElseTheFirstReceivedHeaderElseTheFileTime)
{
    const auto dir = store_.Folder("Inbox");
    // Names that carry no delivery time; the first Received header is folded.
    test::WriteFile(dir / "cur" / "a-received.host:2,S",
                    "From: a@b.c\nReceived: from a by b;\n Tue, 04 Jun 2024 10:00:00 +0000\n"
                    "Received: from c by d; Wed, 01 Jan 2020 00:00:00 +0000\nSubject: r\n\nx\n");
    test::WriteFile(dir / "cur" / "b-nothing.host:2,S", "From: a@b.c\nSubject: n\n\nx\n");
    const std::time_t fileTime = 1600000000;  // 2020-09-13 12:26:40 UTC
    const timespec times[2] = {{fileTime, 0}, {fileTime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir / "cur" / "b-nothing.host:2,S").c_str(), times, 0), 0);
    store_.Add("Inbox", "From: a@b.c\nReceived: from c by d; Wed, 01 Jan 2020 00:00:00 +0000\nSubject: s\n\nx\n");
    auto items = Inbox()->Items();
    ASSERT_EQ(items->Count(), 3);
    // 2024-06-04 10:00 UTC is day 45447.4167; local time differs by hours only.
    EXPECT_NEAR(items->Item(2)->ReceivedTime(), 45447.4167, 0.6);
    EXPECT_NEAR(items->Item(3)->ReceivedTime(), 44087.518, 0.6);
    EXPECT_DOUBLE_EQ(items->Item(3)->ReceivedTime(), items->Item(3)->CreationTime());
    // The fixture's name says 2024-06-03 14:05:01 UTC, which wins over the Received header.
    EXPECT_NEAR(items->Item(1)->ReceivedTime(), 45446.586, 0.6);
}

TEST_F(ItemTest, TransportHeadersEndInCrLf)
{
    store_.Add("Inbox", test::SimpleMessage("hdr"));
    const std::string headers = InboxItem(1)->TransportHeaders();
    EXPECT_EQ(headers.find("From: Ann Sender <ann@example.com>\r\nTo: "), 0u);
    EXPECT_EQ(headers.substr(headers.size() - 2), "\r\n");
    EXPECT_EQ(headers.find("\r\n\r\n"), std::string::npos);
    EXPECT_EQ(headers.find("Hello."), std::string::npos);
}

TEST_F(ItemTest, OneObjectPerItem)
{
    store_.Add("Inbox", test::SimpleMessage("same"));
    auto a = Inbox()->Items()->Item(1);
    auto b = Inbox()->Items()->Item(1);
    EXPECT_EQ(a.Get(), b.Get());
    a->SetSubject("changed");
    EXPECT_EQ(b->Subject(), "changed");
}

TEST_F(ItemTest, VanishedFileFailsForThatItemOnly)
{
    const auto gone = store_.Add("Inbox", test::SimpleMessage("gone"));
    store_.Add("Inbox", test::SimpleMessage("stays"));
    auto items = Inbox()->Items();
    std::filesystem::remove(gone);
    try {
        items->Item(1)->Subject();
        ADD_FAILURE() << "a message without a file was read";
    } catch (const ComError& e) {
        EXPECT_TRUE(IsMessageGone(e)) << e.what();
    }
    EXPECT_EQ(items->Item(2)->Subject(), "stays");
}

/// Adds a flag to a message file as a mail reader does: by renaming it.
std::filesystem::path AddFlagByRename(const std::filesystem::path& file, char flag)
{
    const std::filesystem::path renamed = file.string() + flag;
    std::filesystem::rename(file, renamed);
    return renamed;
}

TEST_F(ItemTest, EveryAccessFindsAFileThatAnotherProgramRenamed)
{
    for (const char* subject : {"marked", "moved", "deleted", "copied", "gone"}) {
        store_.Add("Inbox", test::SimpleMessage(subject), "");
    }
    store_.Folder("Archive");
    auto items = Inbox()->Items();
    std::vector<ComPtr<IOutlookItem>> held;
    for (int i = 1; i <= 5; ++i) held.push_back(items->Item(i));
    for (auto& item : held) item->Subject();  // read under the names of the listing
    for (const auto& file : store_.Files("Inbox")) AddFlagByRename(file, 'F');

    held[0]->SetUnread(false);
    held[0]->Save();
    held[1]->Move(FolderAt("Archive"));
    held[2]->Delete();
    EXPECT_EQ(held[3]->Copy()->Subject(), "copied");
    for (const auto& file : store_.Files("Inbox")) {
        if (test::ReadFile(file).find("Subject: gone") != std::string::npos) std::filesystem::remove(file);
    }
    try {
        held[4]->Move(FolderAt("Archive"));
        ADD_FAILURE() << "a message without a file was moved";
    } catch (const ComError& e) {
        EXPECT_TRUE(IsMessageGone(e)) << e.what();
    }

    std::vector<std::string> inbox;
    for (const auto& file : store_.Files("Inbox")) {
        inbox.push_back(file.filename().string());
        if (test::ReadFile(file).find("Subject: marked") != std::string::npos) {
            EXPECT_TRUE(inbox.back().ends_with(":2,FS")) << inbox.back() << ": the reader's flag and ours";
        }
    }
    EXPECT_EQ(inbox.size(), 3u) << "the marked one, the copied one and its copy";
    ASSERT_EQ(store_.Files("Archive").size(), 1u);
    EXPECT_EQ(store_.Files("Archive")[0].filename().string().back(), 'F');
    ASSERT_EQ(store_.Files("Deleted Items").size(), 1u);

    // Deleted for good after another rename in the deleted items.
    AddFlagByRename(store_.Files("Deleted Items")[0], 'T');
    held[2]->Delete();
    EXPECT_TRUE(store_.Files("Deleted Items").empty());
}

TEST_F(ItemTest, RenamedByAnotherProgramIsFoundAgain)
{
    const auto path = store_.Add("Inbox", test::SimpleMessage("renamed"), "");
    auto item = InboxItem(1);
    EXPECT_TRUE(item->Unread());
    std::filesystem::rename(path, path.string() + "S");
    EXPECT_EQ(item->Subject(), "renamed");
    // Renamed again after its headers were read: the file is still found for what follows.
    std::filesystem::rename(path.string() + "S", path.string() + "RS");
    const auto saved = dir_ / "saved.eml";
    item->SaveAs(saved.string(), olRFC822);
    EXPECT_EQ(test::ReadFile(saved), test::ReadFile(path.string() + "RS"));
    std::filesystem::remove(path.string() + "RS");
    EXPECT_THROW(item->SaveAs(saved.string(), olRFC822), ComError);
}

}  // namespace
