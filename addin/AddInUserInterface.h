#pragma once
// How the add-in framework shows its errors and questions inside the mail client: through
// the windows' user interface, owned by the library's application window.

#include "addin_framework/axpModule.h"

class TAddInUserInterface final : public TaxpUserInterface {
public:
    void ShowError(const std::string& Text, const std::string& Caption) override;
    TaxpModalResult AskCancelRetryIgnore(const std::string& Text, const std::string& Caption) override;
};

/// Installs TAddInUserInterface as the framework's user interface of this library.
void InstallAddInUserInterface();
