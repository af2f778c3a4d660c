#include "platform/host/MailClient.h"

#include "platform/com/ComRuntime.h"
#include "platform/office/COMAddInsImpl.h"
#include "platform/office/OutlookHost.h"
#include "platform/outlook/MailAccounts.h"
#include "platform/runtime/Registry.h"

namespace host {

MailClient::MailClient(TRegistry& registry, std::function<void()> quit)
    : application_(outlook::CreateApplication(outlook::LoadAndPublishConfig(registry))),
      host_(application_.As<outlook::IApplicationHost>()),
      session_(application_->GetNamespace("MAPI")),
      addInList_(office::CreateCOMAddIns()),
      officeApplication_(office::CreateOutlookHostApplication(application_, addInList_, std::move(quit)))
{
    if (!host_) throw ComError(E_NOINTERFACE, "The object model offers no host interface.");
    Publish();
}

MailClient::~MailClient()
{
    if (runningCookie_ != 0) RevokeActiveObject(runningCookie_);
}

void MailClient::Publish()
{
    CLSID clsid{};
    if (const HRESULT hr = CLSIDFromProgID(kApplicationProgID, &clsid); FAILED(hr)) {
        publishProblem_ = std::string("The class \"") + kApplicationProgID + "\" is not registered.";
        return;
    }
    if (const HRESULT hr =
            RegisterActiveObject(officeApplication_.Get(), clsid, ACTIVEOBJECT_STRONG, &runningCookie_);
        FAILED(hr)) {
        runningCookie_ = 0;
        publishProblem_ = HResultMessage(hr);
    }
}

ComPtr<outlook::IMAPIFolder> SubfolderNamed(outlook::IMAPIFolder& parent, const std::string& name)
{
    const auto folders = parent.Folders();
    for (int i = 1, n = folders->Count(); i <= n; ++i) {
        auto folder = folders->Item(i);
        if (folder->Name() == name) return folder;
    }
    return folders->Add(name);
}

}  // namespace host
