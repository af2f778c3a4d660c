// Header fields split from a header block, and what the items read from them: they must read
// every message the way a MIME parser of the whole message reads it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/outlook/HeaderFields.h"
#include "platform/outlook/Mime.h"

using outlook::HeaderFields;

namespace {

std::vector<std::string> Texts(const std::vector<std::string_view>& views) { return {views.begin(), views.end()}; }

std::string Mailboxes(const HeaderFields& headers, GMimeAddressType type)
{
    std::string out;
    for (const auto& address : outlook::AddressesOf(headers, type)) out += "[" + address.name + "|" + address.address + "]";
    return out;
}

TEST(HeaderFields, SplitsFieldsWithContinuationsAndEitherLineEnd)
{
    const HeaderFields headers(std::string("Subject: folded\r\n  subject\r\nto:a@b.c\nX-Empty:\nX-Later:\n\tvalue\n\nNot: a field\n"));
    EXPECT_EQ(headers.First("SUBJECT"), "folded\r\n  subject");
    EXPECT_EQ(headers.First("To"), "a@b.c");
    bool found = false;
    EXPECT_EQ(headers.First("X-Empty", &found), "");
    EXPECT_TRUE(found);
    EXPECT_EQ(headers.First("X-Later"), "\n\tvalue");
    EXPECT_FALSE(headers.Has("Not"));
    EXPECT_EQ(headers.First("Missing", &found), "");
    EXPECT_FALSE(found);
}

TEST(HeaderFields, DamagedLinesNameNoFieldAndKeepTheirContinuationsToThemselves)
{
    const HeaderFields headers(std::string("From foo@bar Mon Jan  1 00:00:00 2024\nSubject : spaced\nno colon here\n  continued\nTo: q@r.s\nTo: t@u.v"));
    EXPECT_EQ(headers.First("Subject"), "spaced");
    EXPECT_EQ(Texts(headers.All("to")), (std::vector<std::string>{"q@r.s", "t@u.v"}));
    EXPECT_FALSE(headers.Has("From"));
    // A block that starts with a blank holds no fields at all.
    EXPECT_FALSE(HeaderFields(std::string("  Subject: x\nTo: a@b.c\n\n")).Has("To"));
    EXPECT_FALSE(HeaderFields().Has("To"));
}

TEST(HeaderFields, FieldsSurviveAMoveOfTheirObject)
{
    HeaderFields first(std::string("Subject: kept\n\n"));
    HeaderFields moved = std::move(first);
    EXPECT_EQ(moved.First("Subject"), "kept");
}

TEST(MessageHeaders, TextsAndDatesAsAMimeParserReadsThem)
{
    const HeaderFields headers(std::string(
        "Subject: one\nSubject: =?UTF-8?B?R3LDvMOfZQ==?=\n =?ISO-8859-1?Q?_Gr=FC=DFe?=\n"
        "Date: Mon, 1 Jan 2024 10:00:00 +0000\nDate: Tue, 2 Jan 2024 10:00:00 +0000\n"
        "Received: from a by b; Wed, 3 Jan 2024 10:00:00 +0000\nReceived: from c by d; Sun, 31 Dec 2023 10:00:00 +0000\n"
        "X-Unsent: \xfc\n\n"));
    EXPECT_EQ(outlook::SubjectOf(headers), "Gr\xC3\xBC\xC3\x9F" "e Gr\xC3\xBC\xC3\x9F" "e");  // the last one counts
    EXPECT_EQ(outlook::DateOf(headers), 1704189600);                              // the last one counts
    EXPECT_EQ(outlook::FirstReceivedDate(headers), 1704276000);                   // the first (latest) one
    EXPECT_EQ(outlook::HeaderText(headers, "X-Unsent"), "\xC3\xBC");              // raw Latin-1 made valid UTF-8
    EXPECT_EQ(outlook::HeaderText(headers, "X-None"), "");
    EXPECT_FALSE(outlook::DateOf(HeaderFields(std::string("Date: never\n\n"))));
}

TEST(MessageHeaders, TextIsMadeValidUtf8AsGLibJudgesItWhereverTheBadByteStands)
{
    // Before, inside and after the eight-byte steps over ASCII text.
    for (const std::string& bad :
         std::vector<std::string>{"\xFF", std::string(1, '\0'), "\xC3", "\xED\xA0\x80", "\xE2\x82"}) {
        for (std::size_t at = 0; at <= 17; ++at) {
            const std::string text = std::string(at, 'a') + "\xC3\xBC" + std::string(at, 'b') + bad + "cd";
            char* glib = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
            EXPECT_EQ(outlook::MakeValidUtf8(text), glib) << at;
            g_free(glib);
            const std::string good = std::string(at, 'a') + "\xE2\x82\xAC" + std::string(at, 'b');
            EXPECT_EQ(outlook::MakeValidUtf8(good), good) << at;
        }
    }
}

TEST(MessageHeaders, AddressesOfEveryFieldAndGroupMembers)
{
    const HeaderFields headers(std::string(
        "From: =?UTF-8?Q?J=C3=BCrg?= <j@x.ch>\nTo: a@b.c\nCc: team: d@e.f, \"Eve\" <e@f.g>;\nTo: undisclosed-recipients:;\n"
        "TO: h@i.j\nSender: s@x.y\n\n"));
    EXPECT_EQ(Mailboxes(headers, GMIME_ADDRESS_TYPE_TO), "[|a@b.c][|h@i.j]");
    EXPECT_EQ(Mailboxes(headers, GMIME_ADDRESS_TYPE_CC), "[|d@e.f][Eve|e@f.g]");
    const auto sender = outlook::SenderOf(headers);
    ASSERT_TRUE(sender);
    EXPECT_EQ(sender->name, "J\xC3\xBCrg");
    const auto fallback = outlook::SenderOf(HeaderFields(std::string("Sender: s@x.y\n\n")));
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->address, "s@x.y");
    EXPECT_FALSE(outlook::SenderOf(HeaderFields(std::string("Subject: x\n\n"))));
}

TEST(MessageHeaders, ClassFromTheContentTypeAndTheNewsgroups)
{
    const auto classOf = [](const char* block) { return outlook::ClassFromHeaders(HeaderFields(std::string(block))); };
    const auto mayBeMeeting = [](const char* block) { return outlook::MayBeMeeting(HeaderFields(std::string(block))); };
    EXPECT_EQ(classOf("Content-Type: Multipart/Report; report-type=delivery-status\n\n"), 46);
    EXPECT_EQ(classOf("Content-Type: multipart/report\nContent-Type: text/plain\n\n"), 43);  // the last one counts
    EXPECT_EQ(classOf("Newsgroups: comp.lang\n\n"), 45);
    EXPECT_EQ(classOf("Newsgroups: comp.lang\nCc: a@b.c\n\n"), 43);
    EXPECT_EQ(classOf("Subject: x\n\n"), 43);
    EXPECT_TRUE(mayBeMeeting("Content-Type: TEXT/CALENDAR; method=REQUEST\r\n\r\n"));
    EXPECT_TRUE(mayBeMeeting("Content-Type: multipart/alternative;\n boundary=\"b\"\n\n"));
    EXPECT_FALSE(mayBeMeeting("Subject: no content type is text/plain\n\n"));
    EXPECT_FALSE(mayBeMeeting("Content-Type: garbage\n\n"));
    // Comments, blanks and folding between the tokens; a quoted or broken type is no type.
    EXPECT_EQ(classOf("Content-Type: (a (nested\\) one)) multipart /\n report(x); b=c\n\n"), 46);
    EXPECT_EQ(classOf("Content-Type: multipart/report,text/plain\n\n"), 46);
    EXPECT_EQ(classOf("Content-Type: \"multipart/report\"\n\n"), 43);
    EXPECT_EQ(classOf("Content-Type: multi part/report\n\n"), 43);
    EXPECT_FALSE(mayBeMeeting("Content-Type: multipart/\n\n"));
    EXPECT_FALSE(mayBeMeeting("Content-Type: (unclosed multipart/mixed\n\n"));
    EXPECT_TRUE(mayBeMeeting("Content-Type: text/calendar\"q\"\n\n"));
}

}  // namespace
