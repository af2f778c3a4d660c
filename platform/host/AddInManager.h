#pragma once
// The add-ins of the mail client: those registered under its add-in key to load at start-up
// are created by their ProgID, connected at the start and disconnected at the end, each with
// its entry in the add-in list. An add-in that fails is left out and reported; it never stops
// the mail client.

#include <memory>
#include <string>
#include <vector>

#include "platform/office/AddInHost.h"
#include "platform/office/HostApplications.h"

namespace host {

/// The name of this mail client under the Office add-in keys.
inline constexpr const char* kHostName = "Outlook";

class AddInManager {
public:
    explicit AddInManager(ComPtr<office::OutlookApplication> application);
    /// Shuts down what is still connected.
    ~AddInManager();
    AddInManager(const AddInManager&) = delete;
    AddInManager& operator=(const AddInManager&) = delete;

    /// Connects every add-in registered to load at start-up, then tells all of them that
    /// the start-up is complete.
    void StartUp();
    /// Begins the shutdown of every connected add-in, then disconnects each.
    void ShutDown();

    const std::vector<std::unique_ptr<office::AddInConnection>>& Connections() const { return connections_; }
    /// What went wrong, one text per problem, in the order it happened.
    const std::vector<std::string>& Problems() const { return problems_; }

private:
    void Connect(const office::RegisteredAddIn& addIn);
    /// Records a failure code of an add-in's call, with the add-in's error information.
    void Report(const std::string& progID, const char* what, HRESULT hr);

    ComPtr<office::OutlookApplication> application_;
    std::vector<std::unique_ptr<office::AddInConnection>> connections_;
    std::vector<std::string> problems_;
};

}  // namespace host
