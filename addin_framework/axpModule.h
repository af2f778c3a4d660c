#pragma once
// What the framework keeps once per add-in library (the library links the framework
// statically, so each add-in library has its own): the library's application object, the
// host that completed start-up last, whether the library was loaded to register itself, and
// the seam through which the framework shows errors and asks questions.
//
// The framework links no toolkit: an add-in that has windows installs a user interface that
// shows message boxes (`SetAddInUserInterface`); without one, messages go to stderr.

#include <cstdint>
#include <memory>
#include <string>

/// The library's application object as far as the framework uses it.
struct TLibraryApplication {
    /// The help file named in the error information the add-in object returns to a host.
    std::string HelpFile;
    /// The window that owns the library's own windows and message boxes (0 = none).
    std::uintptr_t MainWindowHandle = 0;
};

TLibraryApplication& LibraryApplication();

/// The host index stored when start-up completed last (read at shutdown).
std::uint8_t CurrentHost();
void SetCurrentHost(std::uint8_t Host);

/// True while the library's registration entry points run.
bool LoadedForRegistration();

/// Marks the library as loaded to register or unregister itself while the scope lives.
class TRegistrationScope {
public:
    TRegistrationScope();
    ~TRegistrationScope();
    TRegistrationScope(const TRegistrationScope&) = delete;
    TRegistrationScope& operator=(const TRegistrationScope&) = delete;

private:
    bool FPrevious;
};

/// The first window of the calling thread whose class name equals `ClassName`; 0 when none.
/// Hosts with such windows (Excel "XLMAIN", Visio "VISIOA") do not exist on this platform,
/// and no window here carries such a class name, so the search finds none.
std::uintptr_t FindThreadWindow(const std::string& ClassName);

/// Results of the running-hosts question.
enum TaxpModalResult : int { mrCancel = 2, mrRetry = 4, mrIgnore = 5 };

/// How the framework shows errors and asks the user.
class TaxpUserInterface {
public:
    TaxpUserInterface() = default;
    virtual ~TaxpUserInterface() = default;
    TaxpUserInterface(const TaxpUserInterface&) = delete;
    TaxpUserInterface& operator=(const TaxpUserInterface&) = delete;

    /// A modal error message box with one OK button; returns when it is closed. "\r\n" in
    /// `Text` is a line break.
    virtual void ShowError(const std::string& Text, const std::string& Caption) = 0;
    /// A modal information dialog centred on the screen with the buttons Cancel, Retry and
    /// Ignore; returns the button pressed.
    virtual TaxpModalResult AskCancelRetryIgnore(const std::string& Text, const std::string& Caption) = 0;
};

/// The installed user interface; one that writes to stderr (and answers Ignore) until another
/// is installed.
TaxpUserInterface& AddInUserInterface();
/// Installs `Next` and returns the one it replaces (null for the built-in one); null puts the
/// built-in one back.
std::unique_ptr<TaxpUserInterface> SetAddInUserInterface(std::unique_ptr<TaxpUserInterface> Next);
