#include <gtest/gtest.h>

#include "platform/com/ComRuntime.h"
#include "platform/qelutils/MAPIUtils.h"
#include "tests/platform/qelutils/ServerFixture.h"

namespace {

using namespace qelutils;

class MAPIUtilsTest : public test::ServerFixture {
protected:
    void SetUp() override
    {
        store_.Add("Inbox", test::SimpleMessage("Invoice 42"));
        utils_ = CreateComObject<IMAPIUtils>(CLSID_MAPIUtils);
    }
    ComPtr<IMAPIUtils> utils_;
};

TEST_F(MAPIUtilsTest, SmtpAddressOfARecipientsAddressEntry)
{
    const auto recipient = LastInboxItem()->Recipients()->Item(1);
    Variant value;
    ASSERT_EQ(utils_->GetMAPIProperty(recipient->AddressEntry()->MAPIOBJECT().Get(), PR_SMTP_ADDRESS, &value), S_OK);
    EXPECT_EQ(value.ToString(), "bob@example.com");
}

TEST_F(MAPIUtilsTest, UnknownPropertiesFailWithTheirTag)
{
    const auto entry = LastInboxItem()->Recipients()->Item(1)->AddressEntry()->MAPIOBJECT();
    Variant value;
    const HRESULT hr = utils_->GetMAPIProperty(entry.Get(), PR_SUBJECT, &value);
    ASSERT_EQ(hr, MAPI_E_NOT_FOUND);
    const ComError error(hr);
    EXPECT_EQ(error.Message(), "The property 0x0037001E is not available for this object");
    EXPECT_EQ(utils_->GetMAPIProperty(nullptr, PR_SMTP_ADDRESS, &value), E_POINTER);
    EXPECT_EQ(utils_->Reserved3(), E_NOTIMPL);
    EXPECT_EQ(utils_->Reserved8(), E_NOTIMPL);
}

TEST_F(MAPIUtilsTest, SetSubjectChangesTheVeryItemAndStoresIt)
{
    const auto item = LastInboxItem();
    std::int32_t result = -1;
    ASSERT_EQ(utils_->SetMAPIProperty(item.Get(), PR_SUBJECT, Variant("[Done] Invoice 42"), true, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(item->Subject(), "[Done] Invoice 42");
    CoFreeUnusedLibraries();
    // A fresh application object reads the stored file.
    EXPECT_EQ(LastInboxItem()->Subject(), "[Done] Invoice 42");
    const auto files = store_.Files("Inbox");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(test::ReadFile(files[0]).find("Subject: [Done] Invoice 42"), std::string::npos);

    EXPECT_EQ(utils_->SetMAPIProperty(item.Get(), PR_SMTP_ADDRESS, Variant("x"), true, &result), MAPI_E_NOT_FOUND);
    (void)GetErrorInfo();
}

TEST_F(MAPIUtilsTest, LateBoundCallsReachTheSameMembers)
{
    const auto item = LastInboxItem();
    Variant result;
    ASSERT_EQ(InvokeMethod(*utils_, DISPID_GetMAPIProperty, {Variant(item), Variant(std::int32_t(PR_SUBJECT))}, &result),
              S_OK);
    EXPECT_EQ(result.ToString(), "Invoice 42");
    EXPECT_EQ(InvokeMethod(*utils_, DISPID_Shutdown, {}), S_OK);
    EXPECT_EQ(InvokeMethod(*utils_, DISPID_Shutdown, {Variant(1)}), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(InvokeMethod(*utils_, 5, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(InvokeMethod(*utils_, DISPID_GetMAPIProperty, {Variant("no object"), Variant(1)}), DISP_E_TYPEMISMATCH);
}

}  // namespace
