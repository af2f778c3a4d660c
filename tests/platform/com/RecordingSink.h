#pragma once
// An event sink for tests: records every Invoke with its arguments in call order.

#include <functional>
#include <vector>

#include "platform/com/Dispatch.h"

namespace test {

class RecordingSink : public DispatchObject<IDispatch> {
public:
    struct Call {
        DISPID member;
        std::vector<Variant> args;
    };

    HRESULT Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS* params, Variant*,
                   EXCEPINFO*, std::uint32_t*) override
    {
        Call call{member, {}};
        for (std::uint32_t i = 0; i < params->cArgs; ++i) call.args.push_back(*ArgAt(params, i));
        calls.push_back(std::move(call));
        if (onInvoke) onInvoke();
        return S_OK;
    }

    std::vector<Call> calls;
    std::function<void()> onInvoke;
};

}  // namespace test
