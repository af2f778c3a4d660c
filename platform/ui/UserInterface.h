#pragma once
// How the windows ask the user: message boxes, file dialogs, opening a document (help, web
// links). The windows call only Ui(); the program installs the Qt implementation, tests install a
// scripted one and read back what was asked.

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace ui {

enum class MsgIcon { None, Information, Warning, Error, Question };

/// Buttons of a message box; combine with |.
enum MsgButtons : unsigned {
    mbOK = 1u << 0,
    mbCancel = 1u << 1,
    mbYes = 1u << 2,
    mbNo = 1u << 3,
    mbOKCancel = mbOK | mbCancel,
    mbYesNo = mbYes | mbNo,
    mbYesNoCancel = mbYes | mbNo | mbCancel,
};

/// The modal results of message boxes, as the system's code compares them.
inline constexpr int idOK = 1;
inline constexpr int idCancel = 2;
inline constexpr int idYes = 6;
inline constexpr int idNo = 7;

/// What an open or save dialog shows. Filter uses the "Text|*.ext|Text|*.*" pairs of the
/// system's design; DefaultExt is appended (without its dot) to a name typed without one.
struct FileDialogOptions {
    std::string Title;
    std::string Filter;
    std::string DefaultExt;
    std::string InitialDir;
    std::string FileName;
    bool OverwritePrompt = false;
    /// An open dialog takes only a file that exists; without it, any name in an existing folder.
    bool FileMustExist = true;
};

class UserInterface {
public:
    UserInterface() = default;
    virtual ~UserInterface() = default;
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    /// A modal message box; the result is one of the id* constants ("\r\n" in Text is a line
    /// break). Closing the box without a button gives idCancel, or idOK / idNo when the box has
    /// no Cancel button.
    virtual int MessageBox(QWidget* parent, const std::string& Text, const std::string& Caption, MsgIcon Icon,
                           unsigned Buttons) = 0;
    /// The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& Options) = 0;
    virtual std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& Options) = 0;
    /// Opens a file or URL with the desktop's program for it (the shell's "open"); false when
    /// nothing could open it.
    virtual bool OpenDocument(const std::string& PathOrUrl) = 0;
    /// Shows a topic of the help file; false when it could not be shown.
    virtual bool ShowHelp(const std::string& HelpFile, int Context) = 0;
};

/// The installed implementation; the Qt one until another is installed.
UserInterface& Ui();
/// Installs Next and returns the one it replaces (tests put it back when done).
std::unique_ptr<UserInterface> SetUserInterface(std::unique_ptr<UserInterface> Next);

/// A message box with one OK button: the common ShowMessage-style report.
inline void ShowMessage(QWidget* parent, const std::string& Text, const std::string& Caption, MsgIcon Icon)
{
    Ui().MessageBox(parent, Text, Caption, Icon, mbOK);
}

/// "Text|*.a;*.b|All|*.*" -> "Text (*.a *.b);;All (*)": the filter as Qt's dialogs take it.
std::string QtFileFilter(const std::string& WindowsFilter);

/// The folders that may hold the help pages of the help file `HelpFile`, in the order they are
/// tried: "help" beside the help file (the build and an installation folder set in the
/// registry), then the folder the system installs its help pages into.
std::vector<std::string> HelpFolders(const std::string& HelpFile);
/// The page of help topic `Context`, "topic-<n>.html" in the first of HelpFolders that has it;
/// "" when none has it.
std::string HelpPagePath(const std::string& HelpFile, int Context);

}  // namespace ui
