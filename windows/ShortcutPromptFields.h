#pragma once
// What both shortcut prompts show at their top: the application's icon, "The attachment" with
// the attachment's name and "contains a shortcut to the file" with the name of the file it
// points to. The two name fields are read-only, skipped by the tab key and drawn in the colour
// of the window; the second shows the full path as its hint.

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QVBoxLayout;

/// The file name part of a path: what follows its last "/" or "\" (a shortcut made on
/// Windows points to a "C:\..." path).
std::string FileNamePart(const std::string& Path);

class TShortcutPromptFields final : public QWidget {
    Q_OBJECT

public:
    explicit TShortcutPromptFields(QWidget* Parent);

    /// Shows AttText in the first field, the file name part of OrgFilename (all of it with
    /// WholePath) in the second and the full OrgFilename as its hint.
    void ShowNames(const std::string& AttText, const std::string& OrgFilename, bool WholePath = false);

    /// The column right of the icon, where a prompt adds its own texts.
    QVBoxLayout* TextColumn() const { return FTextColumn; }

private:
    QLineEdit* AddNameField(const char* Name);

    QLabel* FImage;
    QLineEdit* FEditAttFilename;
    QLineEdit* FEditOrgFilename;
    QVBoxLayout* FTextColumn;
};
