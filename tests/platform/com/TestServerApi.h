#pragma once
// The classes of the test server library: what tests create through the registry.

#include "platform/com/ConnectionPoint.h"
#include "platform/com/Unknown.h"

namespace testserver {

inline constexpr CLSID CLSID_Counter = MakeGuid("{0B5D6F10-3C2A-4E7B-9D11-5A0C7E2B4F01}");
inline constexpr CLSID CLSID_Failing = MakeGuid("{0B5D6F10-3C2A-4E7B-9D11-5A0C7E2B4F02}");
inline constexpr char kCounterProgID[] = "TrovantaTest.Counter";
inline constexpr char kFailingProgID[] = "TrovantaTest.Failing";

/// Event interface of the counter: DISPID 1 with the new value after each `Add`.
inline constexpr IID DIID_CounterEvents = MakeGuid("{0B5D6F10-3C2A-4E7B-9D11-5A0C7E2B4F03}");
inline constexpr DISPID kDispidChanged = 1;

/// Creating a "TrovantaTest.Failing" object fails with this code and text.
inline constexpr HRESULT kFailingCode = E_ACCESSDENIED;
inline constexpr char kFailingText[] = "The test server refuses to create this object";

struct ICounter : IUnknown {
    static constexpr IID iid = MakeGuid("{0B5D6F10-3C2A-4E7B-9D11-5A0C7E2B4F04}");
    using Base = IUnknown;
    /// Adds to the value and fires the changed event with the new value.
    virtual int Add(int amount) = 0;
};

}  // namespace testserver
