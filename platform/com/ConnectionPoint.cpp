#include "platform/com/ConnectionPoint.h"

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, std::uint32_t* cookie)
{
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    ComPtr<IUnknown> held;
    if (FAILED(sink->QueryInterface(iid_, held.PutVoid())) &&
        FAILED(sink->QueryInterface(IDispatch::iid, held.PutVoid())))
        return CONNECT_E_CANNOTCONNECT;
    {
        std::lock_guard lock(mutex_);
        *cookie = nextCookie_++;
        sinks_.emplace(*cookie, std::move(held));
    }
    NotifyCount();
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(std::uint32_t cookie)
{
    ComPtr<IUnknown> released;  // released after the lock, in case the sink calls back
    {
        std::lock_guard lock(mutex_);
        const auto it = sinks_.find(cookie);
        if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
        released = std::move(it->second);
        sinks_.erase(it);
    }
    NotifyCount();
    return S_OK;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const
{
    std::lock_guard lock(mutex_);
    std::vector<ComPtr<IUnknown>> result;
    result.reserve(sinks_.size());
    for (const auto& [cookie, sink] : sinks_) result.push_back(sink);
    return result;
}

std::size_t ConnectionPoint::Count() const
{
    std::lock_guard lock(mutex_);
    return sinks_.size();
}

void ConnectionPoint::Clear()
{
    std::map<std::uint32_t, ComPtr<IUnknown>> released;
    {
        std::lock_guard lock(mutex_);
        released.swap(sinks_);
    }
}

void ConnectionPoint::SetSinkCountWatcher(std::function<void(std::size_t)> watcher)
{
    std::lock_guard lock(mutex_);
    watcher_ = std::move(watcher);
}

void ConnectionPoint::NotifyCount()
{
    std::function<void(std::size_t)> watcher;
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        watcher = watcher_;
        count = sinks_.size();
    }
    if (watcher) watcher(count);
}

ConnectionPoints::ConnectionPoints(std::initializer_list<IID> eventInterfaces)
{
    for (const auto& iid : eventInterfaces) points_.push_back(MakeCom<ConnectionPoint>(iid));
}

// A client that still holds a connection point keeps it alive; its sinks are dropped
// here so that no sink outlives the source through it.
ConnectionPoints::~ConnectionPoints()
{
    for (const auto& point : points_) {
        point->SetSinkCountWatcher(nullptr);
        point->Clear();
    }
}

ConnectionPoint* ConnectionPoints::Point(const IID& iid) const
{
    for (const auto& point : points_) {
        IID own;
        point->GetConnectionInterface(&own);
        if (own == iid) return point.Get();
    }
    return nullptr;
}

HRESULT ConnectionPoints::Find(const IID& iid, IConnectionPoint** point) const
{
    if (!point) return E_POINTER;
    *point = nullptr;
    ConnectionPoint* found = Point(iid);
    if (!found) return CONNECT_E_NOCONNECTION;
    found->AddRef();
    *point = found;
    return S_OK;
}

std::size_t ConnectionPoints::FireDispatch(const IID& eventInterface, DISPID member,
                                           std::initializer_list<Variant> args) const
{
    const ConnectionPoint* point = Point(eventInterface);
    if (!point) return 0;
    std::size_t called = 0;
    for (const auto& sink : point->Sinks()) {
        const auto dispatch = sink.As<IDispatch>();
        if (!dispatch) continue;
        DispArgs dispArgs(args);
        dispatch->Invoke(member, GUID_NULL, 0, DISPATCH_METHOD, dispArgs.Params(), nullptr, nullptr, nullptr);
        ++called;
    }
    return called;
}
