#pragma once
// The editor of one search path pair: the original root folder and the new root folder below
// which a moved file is looked for. Both are typed or chosen with the folder browse dialog and
// stored as full paths.

#include <QDialog>

#include <string>

class QLineEdit;
class TJamBrowseForFolder;

/// The full path of a folder as typed: blanks are the caller's, a relative folder is taken
/// below the current folder, "." and ".." are resolved and a trailing "/" is kept. A Windows
/// path ("C:\..." or "\\server\share...", as shortcuts made on Windows hold) is full already
/// and stays as it is; this platform maps no drives to network shares.
std::string ExpandUNCFileName(const std::string& FileName);

class TFormEditSearchPath final : public QDialog {
    Q_OBJECT

public:
    explicit TFormEditSearchPath(QWidget* Owner = nullptr);

    const std::string& OrgPath() const noexcept { return FOrgPath; }
    void SetOrgPath(std::string Value) { FOrgPath = std::move(Value); }
    const std::string& NewPath() const noexcept { return FNewPath; }
    void SetNewPath(std::string Value) { FNewPath = std::move(Value); }

    /// Shows the pair modally; true when closed with OK, OrgPath and NewPath then hold the
    /// accepted values. The caller sets the caption.
    bool Execute();

protected:
    void reject() override;

private:
    QLineEdit* AddFolderRow(class QGridLayout* Grid, int Row, const char* Label, const char* EditName,
                            const char* ButtonName, void (TFormEditSearchPath::*Click)());
    void ButtonBrowseOrgClick();
    void ButtonBrowseNewClick();
    void BrowseInto(QLineEdit* Edit);
    void ButtonOKClick();
    void ButtonHelpClick();
    static std::string RequiredFolder(QLineEdit* Edit);

    std::string FOrgPath;
    std::string FNewPath;
    QLineEdit* EditOrgPath;
    QLineEdit* EditNewPath;
    TJamBrowseForFolder* JamBrowseForFolder;
};
