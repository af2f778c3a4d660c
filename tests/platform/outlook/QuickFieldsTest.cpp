// The quick date and address readers give GMime's result for every text they accept: checked
// on tables, on many random texts near the accepted forms, and on every field of the corpora.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/outlook/HeaderFields.h"
#include "platform/outlook/MessageFiles.h"
#include "platform/outlook/QuickFields.h"
#include "tests/platform/outlook/StoreFixture.h"

using namespace outlook;
namespace fs = std::filesystem;

namespace {

std::string Show(const std::vector<Address>& list)
{
    std::string out;
    for (const Address& a : list) out += "[" + a.name + "|" + a.address + "]";
    return out;
}

/// Whether the quick reader, where it answers, answers as GMime does. True when it accepted.
bool AgreesOnDate(const std::string& text)
{
    const auto quick = QuickDate(text);
    if (!quick) return false;
    EXPECT_EQ(quick, ParseDate(text)) << "date: " << text;
    return true;
}

bool AgreesOnAddresses(const std::string& text)
{
    const auto quick = QuickAddresses(text);
    if (!quick) return false;
    const auto slow = ParseAddressList(text);
    EXPECT_TRUE(*quick == slow) << "addresses: " << text << "\n quick " << Show(*quick) << "\n gmime " << Show(slow);
    return true;
}

bool AgreesOnText(const std::string& raw)
{
    const auto quick = QuickText(raw);
    if (!quick) return false;
    EXPECT_EQ(*quick, ParseHeaderText(raw)) << "text: [" << raw << "]";
    return true;
}

TEST(QuickText, AgreesWithGMimeOnRandomSubjects)
{
    std::mt19937 random(5);
    const std::string pieces[] = {"Re:", " ", "  ", "\t", "a", "Fwd: ", "=?", "?=", "\"q\"", "(c)", "=?UTF-8?Q?a?=",
                                  "x=y", "\r\n ", "\xc3\xa9", "[tag]", "100%", "\\"};
    int accepted = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string raw;
        for (int parts = 1 + random() % 8; parts > 0; --parts) raw += pieces[random() % std::size(pieces)];
        accepted += AgreesOnText(raw);
    }
    EXPECT_GT(accepted, 1000);
}

TEST(QuickDate, ReadsTheCommonFormsAndRefusesTheRest)
{
    EXPECT_EQ(QuickDate("Thu, 01 Jan 2015 05:48:30 +0000"), 1420091310);
    EXPECT_EQ(QuickDate("1 Jan 2015 07:48 +0200"), 1420091280);
    EXPECT_EQ(QuickDate("Wed, 31 Dec 2014 23:48:30 -0600 (CST)"), 1420091310);
    EXPECT_EQ(QuickDate("Tue, 29 Feb 2000 12:00:00 +0000"), 951825600);

    for (const char* other : {"", "Thu, 01 Jan 15 05:48:30 +0000", "Thu, 01 Jan 2015 05:48:30 GMT",
                              "Thu, 31 Feb 2015 05:48:30 +0000", "Thu, 01 Jan 2015 24:00:00 +0000",
                              "Thu, 01 jan 2015 05:48:30 +0000", "Thu, 01 Jan 2015 05:48:30 +0000 junk",
                              "Thu, 01 Jan 2015 05:48:30 +0000\r\n", "2015-01-01T05:48:30Z",
                              "Thu, 01 Jan 2015 05:48:30 +0099", "Fri, 29 Feb 2019 10:00:00 +0000"}) {
        EXPECT_FALSE(QuickDate(other)) << other;
    }
}

TEST(QuickDate, AgreesWithGMimeOnRandomDates)
{
    std::mt19937 random(7);
    const std::vector<std::string> weekdays = {"", "Mon, ", "Sun,", "Thu ,", "thu, ", "Xyz, "};
    const std::vector<std::string> months = {"Jan", "Feb", "Mar", "Jun", "Dec", "jan", "Foo"};
    const std::vector<std::string> zones = {"+0000", "-0500", "+0530", "+1400", "-1200", "+2400", "+0060", "GMT", "+00"};
    const std::vector<std::string> tails = {"", " (UTC)", " ", "  (a b)", " (x(y))", " junk", "\t"};
    auto pick = [&](const auto& list) { return list[random() % list.size()]; };
    int accepted = 0;
    for (int n = 0; n < 50000; ++n) {
        std::string text = pick(weekdays) + std::to_string(random() % 33) + " " + pick(months) + " " +
                           std::to_string(1890 + random() % 250) + " " + std::to_string(10 + random() % 16) + ":" +
                           std::to_string(10 + random() % 55);
        if (random() % 3) text += ":" + std::to_string(10 + random() % 55);
        text += (random() % 9 ? " " : "  ") + pick(zones) + pick(tails);
        accepted += AgreesOnDate(text);
    }
    EXPECT_GT(accepted, 2000);
}

TEST(QuickAddresses, ReadsPlainMailboxes)
{
    const auto list = QuickAddresses(R"("Greta Meier" <greta@example.org>, anna@example.net, <x.y+z@a-b.example>, Jon Q. Public <jqp@example.com>)");
    ASSERT_TRUE(list);
    EXPECT_EQ(Show(*list), "[Greta Meier|greta@example.org][|anna@example.net][|x.y+z@a-b.example][Jon Q. Public|jqp@example.com]");
    const auto encoded = QuickAddresses("=?UTF-8?B?U3ZlbiBHYXJjw61h?= <sven@example.net>");
    ASSERT_TRUE(encoded);
    EXPECT_EQ(Show(*encoded), "[Sven García|sven@example.net]");
    for (const char* other : {"", "Group: a@b.c, d@e.f;", "a@b.c (comment)", "\"a\\\"b\" <a@b.c>", "a@b.c,",
                              "<@route:a@b.c>", "a@[1.2.3.4]", "Caf\xc3\xa9 <a@b.c>", "a@xn--caf-dma.example",
                              "Name\r\n <a@b.c>", "a..b@c.d", "a@b"}) {
        AgreesOnAddresses(other);
    }
    EXPECT_FALSE(QuickAddresses("Group: a@b.c, d@e.f;"));
    EXPECT_FALSE(QuickAddresses("a@b.c (comment)"));
}

std::string RandomWord(std::mt19937& random)
{
    static const std::vector<std::string> words = {
        "Greta", "O'Brien", "J.", "Smith-Jones", "=?UTF-8?B?U3ZlbiBHYXJjw61h?=", "=?ISO-8859-1?Q?Caf=E9?=",
        "=?utf-8?q?a_b?=", "x=?y", "\"Quoted Name\"", "\"Last, First\"", "\"\"", "\"a=?b\"", "\"tab\there\"",
        "a@b", "<", "Dr", "\"J. R.\"", "=?UTF-8?B?broken", "Ørsted"};
    return words[random() % words.size()];
}

std::string RandomAddress(std::mt19937& random)
{
    static const std::vector<std::string> locals = {"anna", "x.y+tag", "first.last", "A_B", "a..b", ".a", "o'neil", "\"q u\""};
    static const std::vector<std::string> domains = {"example.org", "mail.example.de", "EXAMPLE.COM", "a-b.example",
                                                     "xn--caf-dma.example", "localhost", "[1.2.3.4]", "a.", ""};
    return locals[random() % locals.size()] + "@" + domains[random() % domains.size()];
}

std::string RandomMailbox(std::mt19937& random)
{
    switch (random() % 4) {
    case 0: return RandomAddress(random);
    case 1: return "<" + RandomAddress(random) + ">";
    default: {
        std::string phrase = RandomWord(random);
        for (int words = random() % 3; words > 0; --words) phrase += (random() % 8 ? " " : "  ") + RandomWord(random);
        return phrase + (random() % 5 ? " " : "") + "<" + RandomAddress(random) + ">";
    }
    }
}

TEST(QuickAddresses, AgreesWithGMimeOnRandomLists)
{
    std::mt19937 random(11);
    int accepted = 0;
    for (int n = 0; n < 30000; ++n) {
        std::string text = (random() % 10 ? "" : " ") + RandomMailbox(random);
        for (int more = random() % 3; more > 0; --more) text += (random() % 4 ? ", " : ",") + RandomMailbox(random);
        if (random() % 20 == 0) text += " ";
        accepted += AgreesOnAddresses(text);
    }
    EXPECT_GT(accepted, 1000);
}

TEST(QuickFields, AgreeWithGMimeOnEveryFieldOfTheCorpora)
{
    const fs::path corpora = test::CorporaDir();
    if (!fs::exists(corpora)) GTEST_SKIP() << "no corpora at " << corpora;
    int fields = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpora)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".md" || entry.path().extension() == ".msg") continue;
        const HeaderFields headers(ReadHeaderBlock(entry.path().string()));
        for (const char* name : {"From", "Sender", "To", "Cc", "Bcc", "Reply-To"}) {
            for (const std::string_view value : headers.All(name)) fields += AgreesOnAddresses(std::string(value));
        }
        for (const std::string_view value : headers.All("Date")) fields += AgreesOnDate(std::string(value));
        for (const std::string_view value : headers.All("Subject")) fields += AgreesOnText(std::string(value));
    }
    EXPECT_GT(fields, 0);
}

}  // namespace
