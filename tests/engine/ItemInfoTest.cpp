// Item information, own and other side, and the filter, on messages of a real store.

#include <gtest/gtest.h>

#include <string>

#include "platform/runtime/DateTime.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

namespace {

class ItemInfoTest : public ::testing::Test {
protected:
    /// Stores the message, opens the store and reads the item information of it.
    void Read(const test::TestMessage& message) { Read(test::MessageText(message)); }
    void Read(const std::string& text)
    {
        store.Builder().Add("Inbox", text);
        store.Open();
        safeItem = test::MakeSafeItem();
        safeItem->SetItem(store.Folder("Inbox")->Items()->Item(1));
        recipients = safeItem->Recipients();
        engine.ReadItemInfo(safeItem, recipients);
    }
    bool Filter() { return engine.MatchesFilter(safeItem, recipients, filter); }

    test::StoreFixture store;
    test::EngineProbe engine;
    ComPtr<qelutils::ISafeItem> safeItem;
    ComPtr<outlook::IRecipients> recipients;
    TOptions_Filter filter;
};

TEST_F(ItemInfoTest, SenderRecipientSubjectDateAndMessageID)
{
    Read("From: \"Ann Sender\" <ann@example.com>\n"
         "To: Bob Receiver <bob@example.com>, Carl <carl@example.com>\n"
         "Subject:   RE: FW: AW: Report  \n"
         "Date: Mon, 03 Jun 2024 14:05:00 +0000\n"
         "X-Note: the Message-ID: header follows\n"
         "message-id:    <abc@example.com>   \n"
         "\n"
         "Hello.\n");
    EXPECT_EQ(engine.FSenderName, "Ann Sender");
    EXPECT_EQ(engine.FSenderAddress, "ann@example.com");
    EXPECT_EQ(engine.FRecipientName, "Bob Receiver");
    EXPECT_EQ(engine.FRecipientAddress, "bob@example.com");
    EXPECT_EQ(engine.FSubject, "RE: FW: AW: Report");
    EXPECT_EQ(engine.FSubjectNoPrefix, "Report");
    EXPECT_EQ(engine.FMessageID, "<abc@example.com>");
    EXPECT_EQ(FormatDateTime("yyyy", engine.FItemDate), "2024");
    // No own masks: the sender is the other side, the first recipient mine.
    EXPECT_EQ(engine.FOtherAddress, "ann@example.com");
    EXPECT_EQ(engine.FMyName, "Bob Receiver");
}

TEST_F(ItemInfoTest, WithoutRecipientsTheRecipientSideIsEmpty)
{
    test::TestMessage m;
    m.to = "";
    Read(m);
    EXPECT_EQ(engine.FRecipientName, "");
    EXPECT_EQ(engine.FRecipientAddress, "");
    EXPECT_EQ(engine.FMyName, "");
    EXPECT_EQ(engine.FMyAddress, "");
    filter.Active = true;
    filter.HasAtt = filter.HasNoAtt = true;
    filter.RecipientIncl().Add("nobody*");
    EXPECT_TRUE(Filter()) << "no recipients: the recipient test passes";
}

TEST_F(ItemInfoTest, SenderIsMeThenTheOtherSideIsTheFirstForeignRecipient)
{
    engine.MeOptions().Values().Add("*@example.com");
    test::TestMessage m;
    m.to = "Bob <bob@example.com>, Zed <zed@other.org>, Yan <yan@other.org>";
    Read(m);
    EXPECT_EQ(engine.FMyAddress, "ann@example.com");
    EXPECT_EQ(engine.FOtherName, "Zed");
    EXPECT_EQ(engine.FOtherAddress, "zed@other.org");
}

TEST_F(ItemInfoTest, AllRecipientsMineThenTheFirstRecipient)
{
    engine.MeOptions().Values().Add("*@EXAMPLE.COM");
    test::TestMessage m;
    m.to = "Bob <bob@example.com>, Cy <cy@example.com>";
    Read(m);
    EXPECT_EQ(engine.FOtherName, "Bob");
    EXPECT_EQ(engine.FOtherAddress, "bob@example.com");
}

TEST_F(ItemInfoTest, ARecipientWithoutSmtpAddressGetsItsName)
{
    test::TestMessage m;
    m.to = "Bob Receiver <bob>";
    Read(m);
    EXPECT_EQ(engine.FRecipientName, "Bob Receiver");
    EXPECT_EQ(engine.FRecipientAddress, "Bob Receiver");
}

TEST_F(ItemInfoTest, EveryRecipientMustPassTheFilter)
{
    test::TestMessage m;
    m.to = "Bob <bob@example.com>, Zed <zed@other.org>";
    Read(m);
    filter.Active = true;
    filter.HasAtt = filter.HasNoAtt = true;
    filter.RecipientIncl().Add("*@example.com");
    EXPECT_FALSE(Filter());
    filter.RecipientIncl().Add("*@other.org");
    EXPECT_TRUE(Filter());
    filter.Active = false;
    filter.RecipientIncl().Clear();
    filter.RecipientIncl().Add("nothing");
    EXPECT_TRUE(Filter()) << "an inactive filter passes";
}

TEST_F(ItemInfoTest, SenderIsExcludedOnlyWhenNameAndAddressFail)
{
    Read(test::TestMessage{});
    filter.Active = true;
    filter.HasAtt = filter.HasNoAtt = true;
    filter.SenderExcl().Add("*@example.com");
    EXPECT_TRUE(Filter()) << "the name passes";
    filter.SenderExcl().Add("ann*");
    EXPECT_FALSE(Filter());
}

TEST_F(ItemInfoTest, DatesAndAttachments)
{
    Read(test::TestMessage{});  // 2024-06-03, no attachments
    filter.Active = true;
    filter.HasNoAtt = true;
    filter.DateFrom = filter.DateTo = EncodeDate(2024, 6, 3);
    engine.FItemDate = EncodeDate(2024, 6, 3) + EncodeTime(23, 59, 0, 0);
    EXPECT_TRUE(Filter());
    engine.FItemDate = 0;
    EXPECT_FALSE(Filter()) << "no date fails DateFrom";
    filter.DateFrom = 0;
    EXPECT_TRUE(Filter()) << "no date passes DateTo alone";
    filter.DateTo = 0;
    filter.HasNoAtt = false;
    filter.HasAtt = true;
    EXPECT_FALSE(Filter());
}

TEST_F(ItemInfoTest, AttachmentSwitchesWithAndWithoutAttachments)
{
    Read("From: Ann <ann@example.com>\nTo: Bob <bob@example.com>\nSubject: Files\n"
         "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"b\"\n\n"
         "--b\nContent-Type: text/plain\n\nSee the file.\n"
         "--b\nContent-Type: application/pdf; name=\"a.pdf\"\nContent-Disposition: attachment; filename=\"a.pdf\"\n"
         "Content-Transfer-Encoding: base64\n\nJVBERi0=\n--b--\n");
    filter.Active = true;
    const struct {
        bool hasAtt, hasNoAtt, passes;
    } cases[] = {{true, true, true}, {true, false, true}, {false, true, false}, {false, false, false}};
    for (const auto& c : cases) {
        filter.HasAtt = c.hasAtt;
        filter.HasNoAtt = c.hasNoAtt;
        EXPECT_EQ(Filter(), c.passes) << "HasAtt " << c.hasAtt << ", HasNoAtt " << c.hasNoAtt;
    }
    filter.HasAtt = filter.HasNoAtt = true;
    filter.SubjectExcl().Add("Files");
    EXPECT_FALSE(Filter()) << "both switches on do not let a failing subject through";
}

struct PrefixCase {
    const char* subject;
    const char* stripped;
};
class SubjectPrefixTest : public ItemInfoTest, public ::testing::WithParamInterface<PrefixCase> {};
TEST_P(SubjectPrefixTest, LeadingTwoLetterPrefixesGo)
{
    test::TestMessage m;
    m.subject = GetParam().subject;
    Read(m);
    EXPECT_EQ(engine.FSubjectNoPrefix, GetParam().stripped);
}
INSTANTIATE_TEST_SUITE_P(Table, SubjectPrefixTest,
                         ::testing::Values(PrefixCase{"RE: FW: AW: Report", "Report"}, PrefixCase{"Re:Fw:x", "x"},
                                           PrefixCase{"R2: x", "R2: x"}, PrefixCase{"ABC: x", "ABC: x"},
                                           PrefixCase{"RE:", ""}, PrefixCase{"Über: x", "Über: x"}));

TEST(MaskListTest, BlankEntriesMatchNothingAndBlanksCount)
{
    TStringList blanks;
    blanks.Add("");
    blanks.Add("   ");
    EXPECT_FALSE(MatchesAnyMask(blanks, ""));
    EXPECT_FALSE(PassesInclExcl("anything", blanks, TStringList()));
    EXPECT_TRUE(PassesInclExcl("anything", TStringList(), TStringList()));
    TStringList padded;
    padded.Add(" ann*");
    EXPECT_FALSE(MatchesAnyMask(padded, "ann@example.com"));
    EXPECT_TRUE(MatchesAnyMask(padded, " Ann@example.com"));
    TStringList umlaut;
    umlaut.Add("müller*");
    EXPECT_TRUE(MatchesAnyMask(umlaut, "MÜLLER Hans"));
}

}  // namespace
