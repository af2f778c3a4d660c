// The MAPI utility client: connecting and letting go, the new-mail event and the property
// calls, against the registered external server and against a running instance.

#include "engine/MAPIUtils.h"

#include <gtest/gtest.h>
#include <glib.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/com/ComError.h"
#include "platform/com/ComRuntime.h"
#include "platform/qelutils/MAPIUtils.h"
#include "platform/qelutils/MAPIUtilsObject.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

#ifdef REGSVR_PATH
#include "tests/platform/qelutils/ServerFixture.h"
#endif

namespace {

namespace fs = std::filesystem;

/// Runs the thread's GLib main context, blocking for its next event, until `done` or until
/// five seconds have passed; false at the deadline.
bool RunLoopUntil(const std::function<bool()>& done)
{
    bool late = false;
    const guint timer = g_timeout_add_seconds(
        5,
        [](gpointer flag) -> gboolean {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &late);
    while (!done() && !late) g_main_context_iteration(nullptr, TRUE);
    if (!late) g_source_remove(timer);
    return done();
}

/// Keeps an object in the running-object table under the server's class while it lives.
class RunningInstance {
public:
    explicit RunningInstance(IUnknown* object)
    {
        EXPECT_EQ(RegisterActiveObject(object, qelutils::CLSID_MAPIUtils, ACTIVEOBJECT_STRONG, &cookie_), S_OK);
    }
    ~RunningInstance() { RevokeActiveObject(cookie_); }
    RunningInstance(const RunningInstance&) = delete;
    RunningInstance& operator=(const RunningInstance&) = delete;

private:
    std::uint32_t cookie_ = 0;
};

/// A running server that fires whatever a test asks for: events the real server never
/// sends (other numbers, no item) must not reach the client's handler.
class ScriptedServer final : public DispatchObject<qelutils::IMAPIUtils, IConnectionPointContainer> {
public:
    HRESULT GetMAPIProperty(IUnknown*, std::uint32_t, Variant*) override { return E_NOTIMPL; }
    HRESULT SetMAPIProperty(IUnknown*, std::uint32_t, const Variant&, bool, std::int32_t*) override
    {
        return E_NOTIMPL;
    }
    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Reserved7() override { return E_NOTIMPL; }
    HRESULT Reserved8() override { return E_NOTIMPL; }
    HRESULT Shutdown() override { return S_OK; }
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override { return points_.Find(iid, point); }

    /// How many sinks were called.
    std::size_t Fire(DISPID member, std::initializer_list<Variant> args) const
    {
        return points_.FireDispatch(qelutils::DIID_IMAPIUtilsEvents, member, args);
    }

private:
    ConnectionPoints points_{qelutils::DIID_IMAPIUtilsEvents};
};

class MAPIUtilsEventTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store.Builder().Add("Inbox", test::SimpleMessage("Fresh"));
        store.Open();
        item = store.Folder("Inbox")->Items()->Item(1);
        utils.OnNewMail = [this](TMAPIUtils& sender, const ComPtr<outlook::IOutlookItem>& newItem) {
            EXPECT_EQ(&sender, &utils);
            received.push_back(newItem ? newItem->Subject() : "<no item>");
            if (onEvent) onEvent();
        };
    }

    test::StoreFixture store;
    ComPtr<ScriptedServer> server = MakeCom<ScriptedServer>();
    RunningInstance running{static_cast<qelutils::IMAPIUtils*>(server.Get())};
    ComPtr<outlook::IOutlookItem> item;
    TMAPIUtils utils;
    std::vector<std::string> received;
    std::function<void()> onEvent;
};

TEST_F(MAPIUtilsEventTest, OnlyEventOneWithAnItemReachesTheHandler)
{
    utils.Connect();
    EXPECT_EQ(server->Fire(2, {Variant(item)}), 1u);
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant()}), 1u);
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant("not an item")}), 1u);
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {}), 1u);
    EXPECT_TRUE(received.empty());
    server->Fire(qelutils::DISPID_NewMail, {Variant(item)});
    EXPECT_EQ(received, std::vector<std::string>{"Fresh"});
}

TEST_F(MAPIUtilsEventTest, DisconnectingStopsTheEventsAlsoFromInsideOne)
{
    utils.Connect();
    onEvent = [this] { utils.Disconnect(); };
    server->Fire(qelutils::DISPID_NewMail, {Variant(item)});
    EXPECT_FALSE(utils.Connected());
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant(item)}), 0u) << "the sink was unadvised";
    EXPECT_EQ(received.size(), 1u);

    onEvent = [] { throw Exception("handler failed"); };
    utils.Connect();
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant(item)}), 1u) << "no exception reaches the server";
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(MAPIUtilsEventTest, FreeingTheClientDisconnects)
{
    {
        TMAPIUtils scoped;
        scoped.Connect();
        EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant(item)}), 1u);
    }
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant(item)}), 0u);
}

TEST_F(MAPIUtilsEventTest, AClientThatIgnoresNewMailAdvisesNoSink)
{
    TMAPIUtils batch(TMAPIUtils::TNewMailEvents::Ignore);
    batch.Connect();
    EXPECT_TRUE(batch.Connected());
    EXPECT_EQ(server->Fire(qelutils::DISPID_NewMail, {Variant(item)}), 0u)
        << "so the server watches no Inbox";
    batch.Disconnect();
}

TEST_F(MAPIUtilsEventTest, AFailureCodeOfTheServerIsRaised)
{
    try {
        utils.GetMAPIProperty(item.As<IUnknown>(), qelutils::PR_SMTP_ADDRESS);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), E_NOTIMPL);
    }
    EXPECT_TRUE(utils.Connected()) << "the call connected first";
}

#ifdef REGSVR_PATH

/// An Exchange recipient: no SMTP address of its own, an address entry that knows one.
class ExchangeRecipient final : public ComObject<outlook::IRecipient> {
public:
    explicit ExchangeRecipient(ComPtr<outlook::IAddressEntry> entry) : entry_(std::move(entry)) {}
    std::string Name() override { return "\"Bob Receiver\""; }
    std::string Address() override { return "/O=ORG/OU=SITE/CN=RECIPIENTS/CN=BOB"; }
    int Type() override { return outlook::olTo; }
    ComPtr<outlook::IAddressEntry> AddressEntry() override { return entry_; }

private:
    ComPtr<outlook::IAddressEntry> entry_;
};

class MAPIUtilsServerTest : public test::ServerFixture {
protected:
    void SetUp() override
    {
        inboxDir = store_.Folder("Inbox");
        store_.Add("Inbox", test::SimpleMessage("Already there"));
    }

    /// Delivers a message the Maildir way: written in tmp/, renamed into new/.
    void Deliver(const std::string& subject, const std::string& name)
    {
        const fs::path tmp = inboxDir / "tmp" / name;
        test::WriteFile(tmp, test::SimpleMessage(subject));
        ASSERT_EQ(std::rename(tmp.c_str(), (inboxDir / "new" / name).c_str()), 0);
    }

    ComPtr<outlook::IAddressEntry> FirstRecipientEntry()
    {
        return LastInboxItem()->Recipients()->Item(1)->AddressEntry();
    }

    fs::path inboxDir;
};

TEST_F(MAPIUtilsServerTest, ConnectCreatesTheServerAndCallsReconnect)
{
    TMAPIUtils utils;
    EXPECT_FALSE(utils.Connected());
    utils.Connect();
    EXPECT_TRUE(utils.Connected());
    utils.Connect();
    EXPECT_TRUE(utils.Connected());
    utils.Disconnect();
    EXPECT_FALSE(utils.Connected());
    utils.Disconnect();

    EXPECT_EQ(utils.GetMAPIProperty(FirstRecipientEntry()->MAPIOBJECT(), qelutils::PR_SMTP_ADDRESS),
              "bob@example.com");
    EXPECT_TRUE(utils.Connected());
    try {
        utils.GetMAPIProperty(FirstRecipientEntry()->MAPIOBJECT(), qelutils::PR_SUBJECT);
        FAIL() << "no error";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), qelutils::MAPI_E_NOT_FOUND);
        EXPECT_EQ(e.Message(), "The property 0x0037001E is not available for this object");
    }
    utils.Shutdown();
    utils.Disconnect();
}

TEST_F(MAPIUtilsServerTest, ARunningInstanceIsUsedAndLetGo)
{
    const auto server = MakeCom<qelutils::MAPIUtilsObject>();
    {
        RunningInstance running(static_cast<qelutils::IMAPIUtils*>(server.Get()));
        TMAPIUtils utils;
        utils.Connect();
        EXPECT_TRUE(server->Watching()) << "the client's sink is advised on the running instance";
        utils.Shutdown();
        EXPECT_FALSE(server->Watching());
        utils.Disconnect();
        utils.Connect();
        EXPECT_TRUE(server->Watching());
    }
    EXPECT_FALSE(server->Watching()) << "freeing the client unadvised its sink";
}

TEST_F(MAPIUtilsServerTest, ANewMessageInTheInboxFiresOnNewMail)
{
    TMAPIUtils utils;
    std::vector<std::string> subjects;
    utils.OnNewMail = [&](TMAPIUtils&, const ComPtr<outlook::IOutlookItem>& item) {
        subjects.push_back(item->Subject());
    };
    utils.Connect();
    Deliver("Fresh", "1800000100.M1P1Q1.engine");
    ASSERT_TRUE(RunLoopUntil([&] { return !subjects.empty(); }));
    EXPECT_EQ(subjects, std::vector<std::string>{"Fresh"}) << "the message there before is not reported";

    utils.Shutdown();
    utils.Disconnect();
    utils.OnNewMail = nullptr;
}

TEST_F(MAPIUtilsServerTest, TheEngineAsksTheAddressEntryForAnExchangeRecipient)
{
    TMAPIUtils utils;
    test::EngineProbe engine;
    engine.SetMAPIUtils(&utils);
    const auto recipient = MakeCom<ExchangeRecipient>(FirstRecipientEntry());
    std::string name, address;
    engine.GetRecipientInfo(recipient, name, address);
    EXPECT_EQ(name, "Bob Receiver");
    EXPECT_EQ(address, "bob@example.com");
    EXPECT_TRUE(utils.Connected());
    utils.Disconnect();
}

class MAPIUtilsNoServerTest : public test::ServerFixture {
protected:
    MAPIUtilsNoServerTest() : ServerFixture(false) {}
};

TEST_F(MAPIUtilsNoServerTest, WithoutTheServerTheRecipientsNameStandsIn)
{
    store_.Add("Inbox", test::SimpleMessage("Any"));
    TMAPIUtils utils;
    EXPECT_THROW(utils.Connect(), ComError);
    EXPECT_FALSE(utils.Connected());

    test::EngineProbe engine;
    engine.SetMAPIUtils(&utils);
    const auto recipient = MakeCom<ExchangeRecipient>(LastInboxItem()->Recipients()->Item(1)->AddressEntry());
    std::string name, address;
    engine.GetRecipientInfo(recipient, name, address);
    EXPECT_EQ(address, "Bob Receiver");
}

#endif

}  // namespace
