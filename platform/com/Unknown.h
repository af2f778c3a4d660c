#pragma once
// The object model of the platform layers: reference-counted objects that hand out
// interfaces by IID, the owning pointer `ComPtr<T>` and the `ComObject` template that
// implements IUnknown for a class from the list of interfaces it implements.
//
// Every interface derives from IUnknown (directly or through another interface), declares
// `static constexpr IID iid` and `using Base = <the interface it extends>;`.

#include <atomic>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

struct IUnknown {
    static constexpr IID iid = MakeGuid("{00000000-0000-0000-C000-000000000046}");
    virtual HRESULT QueryInterface(const IID& riid, void** object) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

protected:
    ~IUnknown() = default;
};

/// Owning interface pointer. `Adopt` takes over a reference the caller was given,
/// `Retain` adds one of its own.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(const ComPtr& other) : p_(other.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(const ComPtr<U>& other) : p_(other.Get()) { if (p_) p_->AddRef(); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    ComPtr(ComPtr<U>&& other) noexcept : p_(other.Detach()) {}
    ~ComPtr() { if (p_) p_->Release(); }

    ComPtr& operator=(ComPtr other) noexcept { std::swap(p_, other.p_); return *this; }

    static ComPtr Adopt(T* p) { ComPtr r; r.p_ = p; return r; }
    static ComPtr Retain(T* p) { ComPtr r; r.p_ = p; if (p) p->AddRef(); return r; }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    /// Gives up ownership without releasing.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(p_, nullptr); }
    void Reset() noexcept { if (auto* p = std::exchange(p_, nullptr)) p->Release(); }
    /// For out-parameters: releases the held pointer and returns where to store a new one.
    T** Put() noexcept { Reset(); return &p_; }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    /// QueryInterface for U; empty when the object does not implement it.
    template <class U>
    ComPtr<U> As() const
    {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(U::iid, r.PutVoid());
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

namespace com_detail {
template <class I>
bool ChainHas(const IID& riid)
{
    if (riid == I::iid) return true;
    if constexpr (std::is_same_v<I, IUnknown>) {
        return false;
    } else {
        return ChainHas<typename I::Base>(riid);
    }
}
template <class First, class... Rest>
struct FirstOf {
    using type = First;
};
}  // namespace com_detail

/// Implements IUnknown for a class deriving from the listed interfaces. The object lives
/// while references to it exist; create it with `MakeCom<T>(...)`.
template <class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(const IID& riid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == IUnknown::iid) {
            *object = static_cast<IUnknown*>(static_cast<Primary*>(this));
        } else {
            (TryInterface<Interfaces>(riid, object) || ...);
        }
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    std::uint32_t AddRef() override { return ++refs_; }
    std::uint32_t Release() override
    {
        const std::uint32_t left = --refs_;
        if (left == 0) delete this;  // the one place where a reference-counted object ends
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

private:
    using Primary = typename com_detail::FirstOf<Interfaces...>::type;
    template <class I>
    bool TryInterface(const IID& riid, void** object)
    {
        if (!com_detail::ChainHas<I>(riid)) return false;
        *object = static_cast<I*>(this);
        return true;
    }
    std::atomic<std::uint32_t> refs_{0};
};

/// Creates a reference-counted object and returns the first reference to it.
template <class T, class... Args>
ComPtr<T> MakeCom(Args&&... args)
{
    return ComPtr<T>::Retain(new T(std::forward<Args>(args)...));
}
