#include "platform/com/Dispatch.h"

#include <algorithm>

#include "platform/com/ComError.h"

namespace {

[[noreturn]] void TypeMismatch() { throw ComError(DISP_E_TYPEMISMATCH, HResultMessage(DISP_E_TYPEMISMATCH)); }

}  // namespace

Variant Variant::BoolRef(bool* target)
{
    Variant v;
    v.value_ = target;
    return v;
}

std::uint16_t Variant::Type() const
{
    constexpr std::uint16_t kTypes[] = {VT_EMPTY,   VT_BOOL,    VT_I4, VT_BSTR, VT_UNKNOWN,
                                        VT_DISPATCH, VT_BOOL | VT_BYREF};
    return kTypes[value_.index()];
}

bool Variant::ToBool() const
{
    if (auto* b = std::get_if<bool>(&value_)) return *b;
    if (auto* i = std::get_if<std::int32_t>(&value_)) return *i != 0;
    if (auto* r = std::get_if<bool*>(&value_)) return **r;
    TypeMismatch();
}

std::int32_t Variant::ToInt() const
{
    if (auto* i = std::get_if<std::int32_t>(&value_)) return *i;
    if (auto* b = std::get_if<bool>(&value_)) return *b ? 1 : 0;
    TypeMismatch();
}

std::string Variant::ToString() const
{
    if (auto* s = std::get_if<std::string>(&value_)) return *s;
    if (auto* i = std::get_if<std::int32_t>(&value_)) return std::to_string(*i);
    if (IsEmpty()) return {};
    TypeMismatch();
}

ComPtr<IUnknown> Variant::ToUnknown() const
{
    if (auto* u = std::get_if<ComPtr<IUnknown>>(&value_)) return *u;
    if (auto* d = std::get_if<ComPtr<IDispatch>>(&value_)) return ComPtr<IUnknown>::Retain(d->Get());
    if (IsEmpty()) return {};
    TypeMismatch();
}

ComPtr<IDispatch> Variant::ToDispatch() const
{
    if (auto* d = std::get_if<ComPtr<IDispatch>>(&value_)) return *d;
    if (auto* u = std::get_if<ComPtr<IUnknown>>(&value_)) {
        auto disp = u->As<IDispatch>();
        if (!disp && *u) TypeMismatch();
        return disp;
    }
    if (IsEmpty()) return {};
    TypeMismatch();
}

bool* Variant::ToBoolRef() const
{
    if (auto* r = std::get_if<bool*>(&value_)) return *r;
    TypeMismatch();
}

DispArgs::DispArgs(std::initializer_list<Variant> inCallOrder) : reversed_(inCallOrder)
{
    std::reverse(reversed_.begin(), reversed_.end());
    params_.rgvarg = reversed_.data();
    params_.cArgs = static_cast<std::uint32_t>(reversed_.size());
}

Variant* ArgAt(const DISPPARAMS* params, std::uint32_t index)
{
    if (!params || index >= params->cArgs || !params->rgvarg) return nullptr;
    return &params->rgvarg[params->cArgs - 1 - index];
}

HRESULT InvokeMethod(IDispatch& target, DISPID member, std::initializer_list<Variant> args, Variant* result)
{
    DispArgs dispArgs(args);
    return target.Invoke(member, GUID_NULL, 0, DISPATCH_METHOD, dispArgs.Params(), result, nullptr, nullptr);
}
