#pragma once
// The user interface of a program with a display: QMessageBox, QFileDialog, QDesktopServices.

#include "platform/ui/UserInterface.h"

namespace ui {

class QtUserInterface final : public UserInterface {
public:
    int MessageBox(QWidget* parent, const std::string& Text, const std::string& Caption, MsgIcon Icon,
                   unsigned Buttons) override;
    std::optional<std::string> OpenFileName(QWidget* parent, const FileDialogOptions& Options) override;
    std::optional<std::string> SaveFileName(QWidget* parent, const FileDialogOptions& Options) override;
    bool OpenDocument(const std::string& PathOrUrl) override;
    bool ShowHelp(const std::string& HelpFile, int Context) override;
};

}  // namespace ui
