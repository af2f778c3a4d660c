#include "batch/OutlookApplication.h"

#include "platform/com/ComRuntime.h"

namespace {
constexpr const char* ProgIDOutlookApplication = "Outlook.Application";
}

outlook::IOutlookApplication& TOutlookApplication::Server()
{
    if (!server_) {
        server_ = GetActiveOleObject<outlook::IOutlookApplication>(ProgIDOutlookApplication);
        if (!server_) server_ = CreateOleObject<outlook::IOutlookApplication>(ProgIDOutlookApplication);
    }
    return *server_;
}

ComPtr<outlook::INameSpace> TOutlookApplication::GetNamespace(const std::string& type)
{
    return Server().GetNamespace(type);
}

ComPtr<outlook::IExplorer> TOutlookApplication::ActiveExplorer()
{
    return Server().ActiveExplorer();
}

ComPtr<outlook::IExplorers> TOutlookApplication::Explorers()
{
    return Server().Explorers();
}

ComPtr<outlook::IOutlookItem> TOutlookApplication::CreateItemFromTemplate(const std::string& path)
{
    return Server().CreateItemFromTemplate(path);
}

std::uint32_t TOutlookApplication::AdviseEvents(const ComPtr<outlook::IApplicationEvents>& sink)
{
    return Server().AdviseEvents(sink);
}

void TOutlookApplication::UnadviseEvents(std::uint32_t cookie)
{
    Server().UnadviseEvents(cookie);
}
