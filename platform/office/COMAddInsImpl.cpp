// The in-process add-in list of a host.

#include "platform/office/COMAddInsImpl.h"

#include <algorithm>

#include "platform/com/ComError.h"
#include "platform/runtime/Text.h"

namespace office {
namespace {

class AddInEntry final : public DispatchObject<COMAddIn> {
public:
    AddInEntry(std::string progID, std::string description, std::string guid)
        : progID_(std::move(progID)), description_(std::move(description)), guid_(std::move(guid))
    {
    }

    std::string Description() override { return description_; }
    std::string ProgID() override { return progID_; }
    std::string Guid() override { return guid_; }
    bool Connect() override { return connected_; }
    void SetConnect(bool connect) override { connected_ = connect; }
    ComPtr<IDispatch> Object() override { return object_; }
    void SetObject(const ComPtr<IDispatch>& object) override { object_ = object; }

    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    std::string progID_;
    std::string description_;
    std::string guid_;
    bool connected_ = false;
    ComPtr<IDispatch> object_;
};

class AddInList final : public DispatchObject<COMAddIns, ICOMAddInsHost> {
public:
    int Count() override { return static_cast<int>(entries_.size()); }

    ComPtr<COMAddIn> Item(int index) override
    {
        if (index < 1 || static_cast<std::size_t>(index) > entries_.size())
            throw ComError(E_INVALIDARG, "The index " + std::to_string(index) + " is out of range.");
        return entries_[static_cast<std::size_t>(index - 1)];
    }

    ComPtr<COMAddIn> Add(const std::string& progID, const std::string& description,
                         const std::string& guid) override
    {
        if (const auto it = Find(progID); it != entries_.end()) return *it;
        entries_.push_back(MakeCom<AddInEntry>(progID, description, guid));
        return entries_.back();
    }

    bool Remove(const std::string& progID) override
    {
        const auto it = Find(progID);
        if (it == entries_.end()) return false;
        entries_.erase(it);
        return true;
    }

    HRESULT Invoke(DISPID, const IID&, std::uint32_t, std::uint16_t, DISPPARAMS*, Variant*, EXCEPINFO*,
                   std::uint32_t*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    std::vector<ComPtr<COMAddIn>>::iterator Find(const std::string& progID)
    {
        return std::find_if(entries_.begin(), entries_.end(),
                            [&](const ComPtr<COMAddIn>& entry) { return SameText(entry->ProgID(), progID); });
    }

    std::vector<ComPtr<COMAddIn>> entries_;
};

}  // namespace

ComPtr<COMAddIns> CreateCOMAddIns()
{
    return MakeCom<AddInList>();
}

}  // namespace office
