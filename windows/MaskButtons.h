#pragma once
// The row of small flat buttons beside a mask field that insert the mask placeholders
// ("[SN]", "[B]" ...) and the two separators ("\", " - ") at the caret of the field. The
// buttons only insert text; the validation of the mask checks it.

#include <QWidget>

#include <array>
#include <string_view>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QToolButton;

/// One button of the row: its caption, its hint, and whether it is a separator (inserted as
/// it stands) or a placeholder (inserted in square brackets).
struct TMaskButtonInfo {
    std::string_view Caption;
    std::string_view Hint;
    bool Separator = false;
    /// Shown only beside the mask of the save-attachments editor.
    bool ForAttachments = false;
};

/// Every button in the order of the row.
inline constexpr std::array<TMaskButtonInfo, 29> MaskButtonInfos = {{
    {"O", "E-mail's Outlook folder structure, starting at the root"},
    {"OR", "E-mail's Outlook folder structure, starting at the first folder to process"},
    {"SN", "Sender's name"},
    {"SE", "Sender's e-mail address"},
    {"RN", "1st Recipient's name"},
    {"RE", "1st Recipient's e-mail address"},
    {"ME",
     "\"My e-mail address\": if I am the sender then this e-mail address, else recipient's e-mail address"},
    {"MN", "\"My name\": if I am the sender then this name, else recipient's name"},
    {"NE",
     "\"Not my e-mail address\": if I am not the sender then sender's e-mail address, else recipient's "
     "e-mail "
     "address"},
    {"NN", "\"Not my name\": if I am not the sender then sender's name, else recipient's name"},
    {"B", "Email's subject"},
    {"BX", "Email's subject without leading RE: FW: ..."},
    {"T", "Email's date (YYYYMMDD)"},
    {"Y", "Email's year (YYYY)"},
    {"M", "Email's month (MM)"},
    {"D", "Email's day (DD)"},
    {"C", "Current date (YYYYMMDD)"},
    {"CY", "Current year (YYYY)"},
    {"CM", "Current month (MM)"},
    {"CD", "Current day (DD)"},
    {"U", "Current Outlook user"},
    {"W", "Current Windows user"},
    {"\\", "Backslash", true},
    {" - ", "space minus space", true},
    {"FE", "Attachment's filename with extension", false, true},
    {"F", "Attachment's filename without extension", false, true},
    {"E", "Attachment's file extension", false, true},
    {"F1", "1st letter of attachment's filename", false, true},
    {"E1", "1st letter of attachment's file extension", false, true},
}};

/// The buttons of one mask field. The buttons take no focus, so the field keeps the caret and
/// the selection that the user left in it.
class TMaskButtons : public QWidget {
    Q_OBJECT

public:
    /// `editMask` is the field the buttons write into; the attachment buttons are added only
    /// `withAttachmentButtons`.
    TMaskButtons(QWidget* parent, QLineEdit* editMask, bool withAttachmentButtons);

    /// The buttons in the order of the row.
    const std::vector<QToolButton*>& Buttons() const { return buttons_; }

    /// Inserts `text` into `edit` as the buttons do: when the field does not have the focus it
    /// gets it with the caret at the end of its text; then the text replaces the selection.
    static void InsertIntoMask(QLineEdit& edit, const QString& text);

private:
    /// A placeholder button: "[" + caption + "]".
    void ButtonMask1Click(QAbstractButton* sender);
    /// A separator button: the caption itself.
    void ButtonMask2Click(QAbstractButton* sender);
    bool IsOwnButton(QAbstractButton* sender) const;

    QLineEdit* editMask_;
    std::vector<QToolButton*> buttons_;
};
