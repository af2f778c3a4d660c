#include <gtest/gtest.h>

#include "platform/com/ComError.h"
#include "platform/com/Dispatch.h"
#include "tests/platform/com/RecordingSink.h"

namespace {

/// Sets its second argument (a by-reference bool) to the first.
class CancelSetter : public DispatchObject<IDispatch> {
public:
    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        if (params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        *ArgAt(params, 1)->ToBoolRef() = ArgAt(params, 0)->ToBool();
        return S_OK;
    }
};

TEST(Dispatch, ArgumentsTravelReversedAndArriveInCallOrder)
{
    const auto sink = MakeCom<test::RecordingSink>();
    DispArgs args{Variant(7), Variant("text"), Variant(true)};
    ASSERT_EQ(args.Params()->cArgs, 3u);
    EXPECT_TRUE(args.Params()->rgvarg[0].ToBool());  // the last argument comes first
    EXPECT_EQ(args.Params()->rgvarg[2].ToInt(), 7);

    ASSERT_EQ(InvokeMethod(*sink, 5, {Variant(7), Variant("text"), Variant(true)}), S_OK);
    ASSERT_EQ(sink->calls.size(), 1u);
    const auto& call = sink->calls[0];
    EXPECT_EQ(call.member, 5);
    EXPECT_EQ(call.args[0].ToInt(), 7);
    EXPECT_EQ(call.args[1].ToString(), "text");
    EXPECT_TRUE(call.args[2].ToBool());
    EXPECT_EQ(ArgAt(args.Params(), 3), nullptr);
}

TEST(Dispatch, ByReferenceBoolIsSetByTheCallee)
{
    const auto setter = MakeCom<CancelSetter>();
    bool cancel = false;
    ASSERT_EQ(InvokeMethod(*setter, 1, {Variant(true), Variant::BoolRef(&cancel)}), S_OK);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(InvokeMethod(*setter, 1, {Variant(true)}), DISP_E_BADPARAMCOUNT);
}

TEST(Variant, TypesAndMismatches)
{
    const auto sink = MakeCom<test::RecordingSink>();
    EXPECT_EQ(Variant().Type(), VT_EMPTY);
    EXPECT_EQ(Variant(1).Type(), VT_I4);
    EXPECT_EQ(Variant(false).Type(), VT_BOOL);
    EXPECT_EQ(Variant("x").Type(), VT_BSTR);
    EXPECT_EQ(Variant(ComPtr<IDispatch>(sink)).Type(), VT_DISPATCH);
    EXPECT_EQ(Variant(sink.As<IUnknown>()).Type(), VT_UNKNOWN);
    EXPECT_EQ(Variant(sink.As<IUnknown>()).ToDispatch().Get(), static_cast<IDispatch*>(sink.Get()));
    EXPECT_EQ(Variant("é").ToString(), "é");
    try {
        (void)Variant("7").ToInt();
        FAIL();
    } catch (const ComError& e) {
        EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(e.Message(), "Type mismatch.");
    }
    EXPECT_THROW((void)Variant(1).ToBoolRef(), ComError);
    EXPECT_THROW((void)Variant(3).ToUnknown(), ComError);
}

}  // namespace
