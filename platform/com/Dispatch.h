#pragma once
// Late-bound calls as event sinks receive them: `IDispatch::Invoke` with a member's DISPID
// and its arguments as `Variant`s, stored last argument first.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "platform/com/Unknown.h"

using DISPID = std::int32_t;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

/// `Invoke` flags.
inline constexpr std::uint16_t DISPATCH_METHOD = 0x1;
inline constexpr std::uint16_t DISPATCH_PROPERTYGET = 0x2;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUT = 0x4;

/// Types a Variant holds.
enum VARENUM : std::uint16_t {
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_BYREF = 0x4000,
};

class Variant;

/// Arguments of a call: `rgvarg[0]` is the last argument, `rgvarg[cArgs - 1]` the first.
struct DISPPARAMS {
    Variant* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    std::uint32_t cArgs = 0;
    std::uint32_t cNamedArgs = 0;
};

/// What a member that failed with DISP_E_EXCEPTION reports.
struct EXCEPINFO {
    std::string source;
    std::string description;
    std::string helpFile;
    HRESULT scode = S_OK;
};

struct IDispatch : IUnknown {
    static constexpr IID iid = MakeGuid("{00020400-0000-0000-C000-000000000046}");
    using Base = IUnknown;
    /// 0: no type information is offered.
    virtual HRESULT GetTypeInfoCount(std::uint32_t* count) = 0;
    virtual HRESULT GetIDsOfNames(const IID& riid, const std::string* names, std::uint32_t count,
                                  std::uint32_t lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags,
                           DISPPARAMS* params, Variant* result, EXCEPINFO* excepInfo,
                           std::uint32_t* argErr) = 0;
};

/// A value passed through IDispatch: empty, bool, 32-bit integer, UTF-8 text, an object,
/// or a reference to a bool that the callee may set (the "var Cancel" of an event).
class Variant {
public:
    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(std::int32_t value) : value_(value) {}
    Variant(std::string value) : value_(std::move(value)) {}
    Variant(const char* value) : value_(std::string(value)) {}
    Variant(ComPtr<IDispatch> value) : value_(std::move(value)) {}
    /// An object; kept as VT_DISPATCH when its type is an IDispatch.
    template <class T>
        requires(!std::is_same_v<T, IDispatch>)
    Variant(const ComPtr<T>& value)
    {
        if constexpr (std::is_convertible_v<T*, IDispatch*>)
            value_ = ComPtr<IDispatch>(value);
        else
            value_ = ComPtr<IUnknown>::Retain(value.Get());
    }
    /// A by-reference bool; `target` must outlive the call.
    static Variant BoolRef(bool* target);

    std::uint16_t Type() const;
    bool IsEmpty() const { return std::holds_alternative<std::monostate>(value_); }

    /// Conversions raise ComError(DISP_E_TYPEMISMATCH) when the value has another type.
    bool ToBool() const;
    std::int32_t ToInt() const;
    std::string ToString() const;
    ComPtr<IUnknown> ToUnknown() const;
    /// An IUnknown value is asked for IDispatch; empty for an empty value.
    ComPtr<IDispatch> ToDispatch() const;
    /// The target of a by-reference bool.
    bool* ToBoolRef() const;

private:
    std::variant<std::monostate, bool, std::int32_t, std::string, ComPtr<IUnknown>, ComPtr<IDispatch>, bool*>
        value_;
};

using VARIANT = Variant;

/// Arguments in call order, held the way Invoke expects them (reversed).
class DispArgs {
public:
    DispArgs(std::initializer_list<Variant> inCallOrder);
    DISPPARAMS* Params() { return &params_; }

private:
    std::vector<Variant> reversed_;
    DISPPARAMS params_;
};

/// The argument at `index` in call order (0 = the first), or nullptr when there are fewer.
Variant* ArgAt(const DISPPARAMS* params, std::uint32_t index);

/// Calls a method through Invoke with its arguments in call order.
HRESULT InvokeMethod(IDispatch& target, DISPID member, std::initializer_list<Variant> args,
                     Variant* result = nullptr);

/// IUnknown and the type-information members of IDispatch for a class whose interfaces
/// include an IDispatch; the class implements only Invoke.
template <class... Interfaces>
class DispatchObject : public ComObject<Interfaces...> {
public:
    HRESULT GetTypeInfoCount(std::uint32_t* count) override
    {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT GetIDsOfNames(const IID&, const std::string*, std::uint32_t, std::uint32_t, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
};
