#pragma once
// The disk folder fields of the export and save-attachments editors: a folder typed by the
// user is stored as a full path, and a missing folder is created after asking.

#include <string>

class QLineEdit;
class QWidget;
class TJamBrowseForFolder;

/// The full path of a folder field's text: relative to the current folder, "." and ".."
/// resolved. (Drive letters and mapped network drives do not exist on this platform, so
/// there is no drive to replace by its network name.)
std::string ExpandFolderPath(const std::string& Text);

/// The steps of OK for one folder field whose stored text is `Text`: expands it; when no folder
/// of that path exists, asks "The directory %s does not exist. ... Would you like to create
/// it?": No gives `Field` the focus and raises the silent abort, Yes creates the folder with
/// its missing parents; a folder that cannot be created gives `Field` the focus and raises
/// "Cannot create the directory %s.". Returns the full path to store.
std::string ConfirmDiskFolder(QWidget* Parent, QLineEdit* Field, const std::string& Text);

/// "..." beside a folder field: the dialog starts at the field's folder (expanded) under
/// `Title`; when the user chooses an item the field takes it (TakeBrowsedFolder); when the
/// dialog is cancelled the field is unchanged.
void BrowseFolderField(TJamBrowseForFolder& Browser, QLineEdit* Field, const std::string& Title);

/// The field after the browse dialog returned `ChosenPath`: a file-system path goes into the
/// field; an item without one (such as the computer) empties it.
void TakeBrowsedFolder(QLineEdit* Field, const std::string& ChosenPath);

/// A browse dialog placed on `Form` with the options of the editors: the new dialog style,
/// rooted at the desktop, centred on the screen.
TJamBrowseForFolder* NewFolderBrowser(QWidget* Form);
