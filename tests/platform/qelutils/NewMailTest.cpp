#include <gtest/gtest.h>

#include <glib.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "platform/com/ComRuntime.h"
#include "platform/qelutils/MAPIUtilsObject.h"
#include "tests/platform/com/RecordingSink.h"
#include "tests/platform/qelutils/ServerFixture.h"

namespace {

using namespace qelutils;
namespace fs = std::filesystem;

/// Runs the thread's GLib main context until `done` or five seconds have passed.
bool PumpUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        g_main_context_iteration(nullptr, FALSE);
        g_usleep(1000);
    }
    return true;
}

class NewMail : public test::ServerFixture {
protected:
    void SetUp() override
    {
        inboxDir_ = store_.Folder("Inbox");
        store_.Add("Inbox", test::SimpleMessage("Old news"));  // there before: never reported
        utils_ = MakeCom<MAPIUtilsObject>();
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(utils_->FindConnectionPoint(DIID_IMAPIUtilsEvents, point.Put()), S_OK);
        point_ = point;
        ASSERT_EQ(point_->Advise(sink_.Get(), &cookie_), S_OK);
        ASSERT_TRUE(utils_->Watching());
    }
    void TearDown() override
    {
        if (cookie_) point_->Unadvise(cookie_);
        EXPECT_FALSE(utils_->Watching());
    }

    /// Delivers a message the Maildir way: written in tmp/, renamed into new/.
    fs::path Deliver(const std::string& subject, const std::string& name)
    {
        const fs::path tmp = inboxDir_ / "tmp" / name;
        test::WriteFile(tmp, test::SimpleMessage(subject));
        const fs::path target = inboxDir_ / "new" / name;
        std::rename(tmp.c_str(), target.c_str());
        return target;
    }

    std::string SubjectOfEvent(std::size_t index) const
    {
        const auto& call = sink_->calls.at(index);
        EXPECT_EQ(call.member, DISPID_NewMail);
        ComPtr<outlook::IOutlookItem> item;
        EXPECT_EQ(call.args.at(0).ToUnknown()->QueryInterface(outlook::IOutlookItem::iid, item.PutVoid()), S_OK);
        return item ? item->Subject() : std::string();
    }

    fs::path inboxDir_;
    ComPtr<MAPIUtilsObject> utils_;
    ComPtr<IConnectionPoint> point_;
    ComPtr<test::RecordingSink> sink_ = MakeCom<test::RecordingSink>();
    std::uint32_t cookie_ = 0;
};

TEST_F(NewMail, ADeliveredMessageFiresOnceWithItsItem)
{
    const fs::path delivered = Deliver("Fresh", "1800000000.M1P1Q1.test");
    ASSERT_TRUE(PumpUntil([&] { return sink_->calls.size() == 1; }));
    EXPECT_EQ(SubjectOfEvent(0), "Fresh");

    // The mail program takes it from new/ to cur/: the same message, no new event.
    fs::rename(delivered, inboxDir_ / "cur" / "1800000000.M1P1Q1.test:2,S");
    Deliver("Sentinel", "1800000001.M1P1Q2.test");
    ASSERT_TRUE(PumpUntil([&] { return sink_->calls.size() >= 2; }));
    g_main_context_iteration(nullptr, FALSE);
    ASSERT_EQ(sink_->calls.size(), 2u);
    EXPECT_EQ(SubjectOfEvent(1), "Sentinel");
}

TEST_F(NewMail, AMessageMovedInFromAnotherFolderArrivesOneMovedOutDoesNot)
{
    const fs::path archive = store_.Folder("Archive");
    const fs::path leaving = store_.Add("Inbox", test::SimpleMessage("Leaving"), "S");
    const fs::path coming = store_.Add("Archive", test::SimpleMessage("Coming back"), "S");
    ASSERT_TRUE(PumpUntil([&] { return sink_->calls.size() == 1; }));  // "Leaving", written in place
    fs::rename(leaving, archive / "cur" / leaving.filename());
    fs::rename(coming, inboxDir_ / "cur" / coming.filename());
    ASSERT_TRUE(PumpUntil([&] { return sink_->calls.size() >= 2; }));
    g_main_context_iteration(nullptr, FALSE);
    ASSERT_EQ(sink_->calls.size(), 2u);
    EXPECT_EQ(SubjectOfEvent(1), "Coming back");
}

TEST_F(NewMail, AFileWrittenInPlaceIsReportedWhenClosed)
{
    test::WriteFile(inboxDir_ / "cur" / "1800000002.M1P1Q3.test:2,", test::SimpleMessage("Written in place"));
    ASSERT_TRUE(PumpUntil([&] { return !sink_->calls.empty(); }));
    EXPECT_EQ(SubjectOfEvent(0), "Written in place");
}

TEST_F(NewMail, RawEightBitAndCrLfHeadersAreStillFound)
{
    // Old mailers send Latin-1 bytes in headers without encoding them; Windows tools write CR LF.
    const std::string latin1 = "From: J\xF6rg <j@example.com>\r\nTo: bob@example.com\r\n"
                               "Subject: Gr\xFC\xDF" "e\r\n\r\nHallo\r\n";
    const fs::path tmp = inboxDir_ / "tmp" / "1800000005.M1P1Q6.test";
    test::WriteFile(tmp, latin1);
    fs::rename(tmp, inboxDir_ / "new" / tmp.filename());
    ASSERT_TRUE(PumpUntil([&] { return !sink_->calls.empty(); }));
    EXPECT_EQ(SubjectOfEvent(0).substr(0, 2), "Gr");
}

TEST_F(NewMail, WatchingEndsWithTheLastSinkAndAtShutdown)
{
    const auto second = MakeCom<test::RecordingSink>();
    std::uint32_t secondCookie = 0;
    ASSERT_EQ(point_->Advise(second.Get(), &secondCookie), S_OK);
    ASSERT_EQ(point_->Unadvise(cookie_), S_OK);
    cookie_ = 0;
    EXPECT_TRUE(utils_->Watching());
    Deliver("For the second", "1800000003.M1P1Q4.test");
    ASSERT_TRUE(PumpUntil([&] { return second->calls.size() == 1; }));
    EXPECT_TRUE(sink_->calls.empty());

    EXPECT_EQ(utils_->Shutdown(), S_OK);
    EXPECT_FALSE(utils_->Watching());
    ASSERT_EQ(point_->Unadvise(secondCookie), S_OK);
}

TEST_F(NewMail, TheRegisteredClassFiresThroughItsConnectionPoint)
{
    const auto utils = CreateComObject<IMAPIUtils>(CLSID_MAPIUtils);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(utils.As<IConnectionPointContainer>()->FindConnectionPoint(DIID_IMAPIUtilsEvents, point.Put()), S_OK);
    const auto sink = MakeCom<test::RecordingSink>();
    std::uint32_t cookie = 0;
    ASSERT_EQ(point->Advise(sink.Get(), &cookie), S_OK);
    Deliver("Through the registry", "1800000004.M1P1Q5.test");
    ASSERT_TRUE(PumpUntil([&] { return sink->calls.size() == 1 && sink_->calls.size() == 1; }));
    EXPECT_EQ(utils->Shutdown(), S_OK);
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
}

}  // namespace
