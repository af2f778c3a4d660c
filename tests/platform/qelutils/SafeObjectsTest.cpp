#include <gtest/gtest.h>

#include "platform/com/ComRuntime.h"
#include "platform/qelutils/Classes.h"
#include "platform/qelutils/CurrentUser.h"
#include "platform/qelutils/MAPIUtils.h"
#include "tests/platform/qelutils/ServerFixture.h"

namespace {

using namespace qelutils;

class SafeObjects : public test::ServerFixture {};

class Unregistered : public test::ServerFixture {
protected:
    Unregistered() : ServerFixture(false) {}
};

TEST_F(Unregistered, EveryClassFailsWithClassNotRegistered)
{
    for (const char* progID : {kQELSCU, kQELSMI, kQELSPI}) {
        try {
            CreateOleObject<IUnknown>(progID);
            ADD_FAILURE() << progID;
        } catch (const ComError& e) {
            EXPECT_EQ(e.Code(), REGDB_E_CLASSNOTREG);
            EXPECT_EQ(e.Message(), "Class not registered");
        }
    }
    ComPtr<IMAPIUtils> utils;
    EXPECT_EQ(CoCreateInstance(CLSID_MAPIUtils, nullptr, CLSCTX_ALL, IMAPIUtils::iid, utils.PutVoid()),
              REGDB_E_CLASSNOTREG);
}

TEST_F(SafeObjects, CurrentUserHasTheAccountsName)
{
    const auto user = CreateOleObject<ISafeCurrentUser>(kQELSCU);
    const std::string name = user->Name();
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(name, CurrentUserName());
    user->CleanUp();
}

TEST_F(SafeObjects, SafeMailItemAnswersAsTheItem)
{
    test::TestMessage message;
    message.subject = "Quarterly figures";
    message.extraHeaders = {"X-Mailer: Test"};
    store_.Add("Inbox", test::MessageText(message));
    const auto item = LastInboxItem();

    const auto safe = CreateOleObject<ISafeItem>(kQELSMI);
    EXPECT_THROW(safe->Subject(), ComError);  // no item set yet
    safe->SetItem(item);
    EXPECT_EQ(safe->Item().Get(), item.Get());
    EXPECT_EQ(safe->Class(), outlook::olMail);
    EXPECT_EQ(safe->Subject(), "Quarterly figures");
    EXPECT_EQ(safe->SenderName(), item->SenderName());
    EXPECT_EQ(safe->Recipients()->Count(), 1);
    EXPECT_EQ(safe->Fields(PR_SENDER_EMAIL_ADDRESS), "ann@example.com");

    const std::string headers = safe->Fields(PR_TRANSPORT_MESSAGE_HEADERS);
    EXPECT_NE(headers.find("Subject: Quarterly figures\r\n"), std::string::npos) << headers;
    EXPECT_NE(headers.find("X-Mailer: Test\r\n"), std::string::npos) << headers;
    for (std::size_t i = headers.find('\n'); i != std::string::npos; i = headers.find('\n', i + 1))
        ASSERT_EQ(headers[i - 1], '\r') << "bare LF at " << i;

    try {
        safe->Fields(PR_SUBJECT);
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), MAPI_E_NOT_FOUND);
        EXPECT_NE(e.Message().find("0x0037001E"), std::string::npos);
    }

    // A change through the safe item is a change of the item itself.
    safe->SetUnread(true);
    EXPECT_TRUE(item->Unread());
}

TEST_F(SafeObjects, SafePostItemTakesAPost)
{
    store_.Add("Inbox", test::PostMessage("Announcement"));
    const auto safe = CreateOleObject<ISafeItem>(kQELSPI);
    safe->SetItem(LastInboxItem());
    EXPECT_EQ(safe->Class(), outlook::olPost);
    EXPECT_EQ(safe->Subject(), "Announcement");
}

}  // namespace
