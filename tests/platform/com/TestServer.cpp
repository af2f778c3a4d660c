// A small in-process server library for the runtime's tests, loaded through the registry.

#include "platform/com/ComError.h"
#include "platform/com/ServerModule.h"
#include "tests/platform/com/TestServerApi.h"

namespace {

using namespace testserver;

class Counter : public ComObject<ICounter, IConnectionPointContainer> {
public:
    int Add(int amount) override
    {
        value_ += amount;
        points_.FireDispatch(DIID_CounterEvents, kDispidChanged, {value_});
        return value_;
    }
    HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) override
    {
        return points_.Find(iid, point);
    }

private:
    int value_ = 0;
    ConnectionPoints points_{DIID_CounterEvents};
};

ServerModule& Module()
{
    static ServerModule module({
        {CLSID_Counter, kCounterProgID, "Trovanta test counter",
         [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<Counter>(); }},
        {CLSID_Failing, kFailingProgID, "Trovanta test failure",
         [](ServerModule&) -> ComPtr<IUnknown> { throw ComError(kFailingCode, kFailingText); }},
    });
    return module;
}

}  // namespace

TROVANTA_SERVER_ENTRY_POINTS(Module)
