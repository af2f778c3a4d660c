#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ComRuntime.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/ServerModule.h"
#include "tests/platform/com/RecordingSink.h"

namespace {

constexpr IID DIID_Events = MakeGuid("{7D0C1E20-1111-4A2B-8C3D-00000000E001}");
constexpr CLSID CLSID_Source = MakeGuid("{7D0C1E20-1111-4A2B-8C3D-00000000C001}");

struct IFirst : IUnknown {
    static constexpr IID iid = MakeGuid("{7D0C1E20-1111-4A2B-8C3D-000000000001}");
    using Base = IUnknown;
    virtual int First() = 0;
};
struct IDerived : IFirst {
    static constexpr IID iid = MakeGuid("{7D0C1E20-1111-4A2B-8C3D-000000000002}");
    using Base = IFirst;
    virtual int Second() = 0;
};

class Source : public ComObject<IDerived, IConnectionPointContainer> {
public:
    int First() override { return 1; }
    int Second() override { return static_cast<int>(points_.FireDispatch(DIID_Events, 9, {Variant("hello")})); }
    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override { return points_.Find(iid, point); }

private:
    ConnectionPoints points_{DIID_Events};
};

ComPtr<IConnectionPoint> PointOf(const ComPtr<IDerived>& source)
{
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(source.As<IConnectionPointContainer>()->FindConnectionPoint(DIID_Events, point.Put()), S_OK);
    return point;
}

TEST(ComObject, IdentityAndInterfaceChain)
{
    const ComPtr<IDerived> source = MakeCom<Source>();
    const auto viaContainer = source.As<IConnectionPointContainer>();
    ASSERT_TRUE(viaContainer);
    EXPECT_EQ(source.As<IUnknown>().Get(), viaContainer.As<IUnknown>().Get());
    EXPECT_EQ(source.As<IFirst>()->First(), 1);  // a base of a listed interface answers too
    EXPECT_FALSE(source.As<IDispatch>());
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(source->QueryInterface(IDispatch::iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    source->AddRef();
    EXPECT_EQ(source->Release(), 2u);  // source and viaContainer remain
}

TEST(ConnectionPoint, EveryAdvisedSinkAndNoneAfterUnadvise)
{
    const ComPtr<IDerived> source = MakeCom<Source>();
    const auto point = PointOf(source);
    const auto a = MakeCom<test::RecordingSink>();
    const auto b = MakeCom<test::RecordingSink>();
    std::uint32_t cookieA = 0, cookieB = 0;
    ASSERT_EQ(point->Advise(a.Get(), &cookieA), S_OK);
    ASSERT_EQ(point->Advise(b.Get(), &cookieB), S_OK);
    EXPECT_NE(cookieA, cookieB);

    EXPECT_EQ(source->Second(), 2);
    ASSERT_EQ(a->calls.size(), 1u);
    EXPECT_EQ(a->calls[0].member, 9);
    EXPECT_EQ(a->calls[0].args.at(0).ToString(), "hello");
    EXPECT_EQ(b->calls.size(), 1u);

    EXPECT_EQ(point->Unadvise(cookieA), S_OK);
    EXPECT_EQ(point->Unadvise(cookieA), CONNECT_E_NOCONNECTION);
    source->Second();
    EXPECT_EQ(a->calls.size(), 1u);
    EXPECT_EQ(b->calls.size(), 2u);
    EXPECT_EQ(point->Unadvise(cookieB), S_OK);
}

TEST(ConnectionPoint, ASinkMayUnadviseDuringTheEvent)
{
    const ComPtr<IDerived> source = MakeCom<Source>();
    const auto point = PointOf(source);
    const auto first = MakeCom<test::RecordingSink>();
    const auto second = MakeCom<test::RecordingSink>();
    std::uint32_t cookieFirst = 0, cookieSecond = 0;
    point->Advise(first.Get(), &cookieFirst);
    point->Advise(second.Get(), &cookieSecond);
    first->onInvoke = [&] { point->Unadvise(cookieSecond); };
    source->Second();  // the event already under way still reaches the second sink
    source->Second();
    EXPECT_EQ(first->calls.size(), 2u);
    EXPECT_EQ(second->calls.size(), 1u);
    point->Unadvise(cookieFirst);
}

TEST(ConnectionPoint, RefusalsAndUnknownInterfaces)
{
    const ComPtr<IDerived> source = MakeCom<Source>();
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(source.As<IConnectionPointContainer>()->FindConnectionPoint(IDispatch::iid, none.Put()),
              CONNECT_E_NOCONNECTION);
    std::uint32_t cookie = 0;
    // The source itself is no event sink.
    EXPECT_EQ(PointOf(source)->Advise(source.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    IID iid;
    PointOf(source)->GetConnectionInterface(&iid);
    EXPECT_EQ(iid, DIID_Events);
}

TEST(RunningObjectTable, RegisterFindRevoke)
{
    const ComPtr<IDerived> source = MakeCom<Source>();
    ComPtr<IUnknown> found;
    EXPECT_EQ(GetActiveObject(CLSID_Source, nullptr, found.Put()), MK_E_UNAVAILABLE);
    std::uint32_t cookie = 0;
    ASSERT_EQ(RegisterActiveObject(source.Get(), CLSID_Source, ACTIVEOBJECT_STRONG, &cookie), S_OK);
    ASSERT_EQ(GetActiveObject(CLSID_Source, nullptr, found.Put()), S_OK);
    EXPECT_EQ(found.Get(), source.As<IUnknown>().Get());
    EXPECT_EQ(RevokeActiveObject(cookie), S_OK);
    EXPECT_EQ(RevokeActiveObject(cookie), E_INVALIDARG);
    EXPECT_EQ(GetActiveObject(CLSID_Source, nullptr, found.Put()), MK_E_UNAVAILABLE);
}

TEST(ServerModule, CountsObjectsFactoriesAndLocks)
{
    ServerModule module({{CLSID_Source, "Test.Source", "Source",
                          [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<Source>(); }}});
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(module.GetClassObject(IDispatch::iid, IClassFactory::iid, factory.PutVoid()),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(module.GetClassObject(CLSID_Source, IClassFactory::iid, factory.PutVoid()), S_OK);
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);  // a live factory holds the module

    ComPtr<IDerived> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, IDerived::iid, object.PutVoid()), S_OK);
    ComPtr<IDerived> aggregated;
    EXPECT_EQ(factory->CreateInstance(object.Get(), IDerived::iid, aggregated.PutVoid()), CLASS_E_NOAGGREGATION);
    void* wrong = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IDispatch::iid, &wrong), E_NOINTERFACE);
    factory->LockServer(true);
    factory.Reset();
    EXPECT_EQ(module.LockCount(), 2);  // the object and the server lock
    object.Reset();
    EXPECT_EQ(module.CanUnloadNow(), S_FALSE);
    module.Unlock();
    EXPECT_EQ(module.CanUnloadNow(), S_OK);
}

TEST(Apartment, CountsPerThread)
{
    EXPECT_EQ(CoInitialize(), S_OK);
    EXPECT_EQ(CoInitialize(), S_FALSE);
    std::thread([] { EXPECT_EQ(CoInitializeCount(), 0); }).join();
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many is harmless
    EXPECT_EQ(CoInitializeCount(), 0);
}

}  // namespace
