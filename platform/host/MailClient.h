#pragma once
// The mail client's application object as the host program holds it: the object model over
// the configured Maildir stores, wrapped in the application object that add-ins get (with
// the add-in list and the windows that carry command bars), and published as the running
// "Outlook.Application" so that the external server finds this very object.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/office/HostApplications.h"
#include "platform/outlook/Application.h"

class TRegistry;

namespace host {

inline constexpr const char* kApplicationProgID = "Outlook.Application";

class MailClient {
public:
    /// Reads the stores from `registry` and publishes the application object in the
    /// running-object table when its class is registered. `quit` runs when an add-in asks
    /// the application to quit.
    explicit MailClient(TRegistry& registry, std::function<void()> quit = nullptr);
    /// Withdraws the application object from the running-object table.
    ~MailClient();
    MailClient(const MailClient&) = delete;
    MailClient& operator=(const MailClient&) = delete;

    /// The object model the host's own windows work on.
    const ComPtr<outlook::IOutlookApplication>& Application() const { return application_; }
    /// The application object that add-ins are connected to.
    const ComPtr<office::OutlookApplication>& OfficeApplication() const { return officeApplication_; }
    /// The host's add-in list.
    const ComPtr<office::COMAddIns>& AddInList() const { return addInList_; }
    outlook::IApplicationHost& Host() const { return *host_; }
    outlook::INameSpace& Session() const { return *session_; }

    /// Why the application object could not be published ("" when it was): other programs
    /// and the external server then start an object model of their own.
    const std::string& PublishProblem() const { return publishProblem_; }

private:
    void Publish();

    ComPtr<outlook::IOutlookApplication> application_;
    ComPtr<outlook::IApplicationHost> host_;
    ComPtr<outlook::INameSpace> session_;
    ComPtr<office::COMAddIns> addInList_;
    ComPtr<office::OutlookApplication> officeApplication_;
    std::uint32_t runningCookie_ = 0;
    std::string publishProblem_;
};

/// The subfolder `name` of `parent`, created when missing.
ComPtr<outlook::IMAPIFolder> SubfolderNamed(outlook::IMAPIFolder& parent, const std::string& name);

}  // namespace host
