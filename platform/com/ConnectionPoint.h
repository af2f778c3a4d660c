#pragma once
// Outgoing interfaces: a source object offers one connection point per event interface;
// clients `Advise` their sink and get a cookie, and `Unadvise` it with that cookie.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <mutex>
#include <vector>

#include "platform/com/Dispatch.h"
#include "platform/com/Unknown.h"

struct IConnectionPoint : IUnknown {
    static constexpr IID iid = MakeGuid("{B196B286-BAB4-101A-B69C-00AA00341D07}");
    using Base = IUnknown;
    virtual HRESULT GetConnectionInterface(IID* iid) = 0;
    /// The sink must answer QueryInterface for the event interface (or, for a dispatch
    /// event interface, for IDispatch); CONNECT_E_CANNOTCONNECT otherwise.
    virtual HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) = 0;
    /// CONNECT_E_NOCONNECTION for a cookie that is not (or no longer) advised.
    virtual HRESULT Unadvise(std::uint32_t cookie) = 0;
};

struct IConnectionPointContainer : IUnknown {
    static constexpr IID iid = MakeGuid("{B196B284-BAB4-101A-B69C-00AA00341D07}");
    using Base = IUnknown;
    /// CONNECT_E_NOCONNECTION when the object fires no such events.
    virtual HRESULT FindConnectionPoint(const IID& iid, IConnectionPoint** point) = 0;
};

/// A connection point for one event interface: the advised sinks by cookie.
class ConnectionPoint final : public ComObject<IConnectionPoint> {
public:
    explicit ConnectionPoint(const IID& eventInterface) : iid_(eventInterface) {}

    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) override;
    HRESULT Unadvise(std::uint32_t cookie) override;

    /// The sinks advised now, in the order of advising. A copy: a sink may unadvise
    /// (itself or another) while the caller walks the list.
    std::vector<ComPtr<IUnknown>> Sinks() const;
    std::size_t Count() const;
    /// Drops every sink (when the source shuts down); the watcher is not told.
    void Clear();
    /// Tells `watcher` the number of sinks after each successful Advise and Unadvise, so a
    /// source can do work only while someone listens. Called without locks held.
    void SetSinkCountWatcher(std::function<void(std::size_t)> watcher);

private:
    void NotifyCount();

    const IID iid_;
    std::function<void(std::size_t)> watcher_;
    mutable std::mutex mutex_;
    std::map<std::uint32_t, ComPtr<IUnknown>> sinks_;
    std::uint32_t nextCookie_ = 1;
};

/// The connection points of an object that fires events: a member of the source class,
/// which implements IConnectionPointContainer by calling `Find`.
class ConnectionPoints {
public:
    ConnectionPoints(std::initializer_list<IID> eventInterfaces);
    ~ConnectionPoints();
    ConnectionPoints(const ConnectionPoints&) = delete;
    ConnectionPoints& operator=(const ConnectionPoints&) = delete;

    HRESULT Find(const IID& iid, IConnectionPoint** point) const;
    /// The point of an event interface given at construction; nullptr for any other.
    ConnectionPoint* Point(const IID& iid) const;

    /// Calls `Invoke(member, args)` on every sink of `eventInterface`, arguments in call
    /// order. Returns how many sinks were called; a failing sink does not stop the others.
    std::size_t FireDispatch(const IID& eventInterface, DISPID member, std::initializer_list<Variant> args) const;

private:
    std::vector<ComPtr<ConnectionPoint>> points_;
};
