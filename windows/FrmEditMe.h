#pragma once
// The editor of the user's own e-mail addresses, which the placeholders [ME], [MN], [NE] and
// [NN] use to tell whether the user sent an e-mail. It loads them from the registry and saves
// them there itself when closed with OK.

#include <string>
#include <vector>

#include "windows/EditorDialog.h"

class QPlainTextEdit;
class QPushButton;

class TFormEditMe : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormEditMe(QWidget* parent);

    /// Loads the stored masks into the memo and shows the window modally.
    void Execute();

protected:
    /// Saves the memo's lines as the own addresses; a failed save is shown, the window stays.
    void ButtonOKClick() override;
    int HelpContext() const override { return 43; }

private:
    void CreateControls();
    /// Adds the addresses of the mail accounts that the memo does not hold yet.
    void ButtonReadAccountsClick();

    QPlainTextEdit* MemoInfo = nullptr;
    QPlainTextEdit* MemoNames = nullptr;
    QPushButton* ButtonReadAccounts = nullptr;
};

/// Opens the own-address editor with `Owner` as its owner and frees it when it closes.
void EditMyAddresses(QWidget* Owner);

/// The SMTP addresses of the mail accounts in the current user's registry: trimmed, lower
/// case, without duplicates, sorted. No account key gives none.
std::vector<std::string> ReadAccountAddresses();
