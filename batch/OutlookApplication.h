#pragma once
// The mail client's application object as the batch program holds it. Creating it does not
// reach the mail client: the first call attaches to the running "Outlook.Application" or
// starts one, so a run that fails before it needs the mail client never starts it.

#include <cstdint>
#include <string>

#include "platform/outlook/Outlook.h"

class TOutlookApplication final : public ComObject<outlook::IOutlookApplication> {
public:
    ComPtr<outlook::INameSpace> GetNamespace(const std::string& type) override;
    ComPtr<outlook::IExplorer> ActiveExplorer() override;
    ComPtr<outlook::IExplorers> Explorers() override;
    ComPtr<outlook::IOutlookItem> CreateItemFromTemplate(const std::string& path) override;
    std::uint32_t AdviseEvents(const ComPtr<outlook::IApplicationEvents>& sink) override;
    void UnadviseEvents(std::uint32_t cookie) override;

    /// True once the mail client was reached.
    bool Connected() const { return static_cast<bool>(server_); }

private:
    outlook::IOutlookApplication& Server();

    ComPtr<outlook::IOutlookApplication> server_;
};
