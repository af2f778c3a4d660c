#pragma once
// The mail client's application object as the host program holds it: the object model over
// the configured Maildir stores, published as the running "Outlook.Application" so that the
// external server and the add-ins find this very object.

#include <cstdint>
#include <string>

#include "platform/outlook/Application.h"

class TRegistry;

namespace host {

inline constexpr const char* kApplicationProgID = "Outlook.Application";

class MailClient {
public:
    /// Reads the stores from `registry` and publishes the application object in the
    /// running-object table when its class is registered.
    explicit MailClient(TRegistry& registry);
    /// Withdraws the application object from the running-object table.
    ~MailClient();
    MailClient(const MailClient&) = delete;
    MailClient& operator=(const MailClient&) = delete;

    const ComPtr<outlook::IOutlookApplication>& Application() const { return application_; }
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
    std::uint32_t runningCookie_ = 0;
    std::string publishProblem_;
};

/// The store's root folder above `folder` (the folder itself when it is a root).
ComPtr<outlook::IMAPIFolder> StoreRootOf(const ComPtr<outlook::IMAPIFolder>& folder);

/// The subfolder `name` of `parent`, created when missing.
ComPtr<outlook::IMAPIFolder> SubfolderNamed(outlook::IMAPIFolder& parent, const std::string& name);

}  // namespace host
