#pragma once
// The "Where to save" group that the export and the save-attachments editors share: the disk
// folder with its browse button, the mask with its placeholder buttons and the duplicate mode.

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;
class TMaskButtons;

struct TWhereToSave {
    QGroupBox* Group = nullptr;
    QGridLayout* Grid = nullptr;  ///< rows 0 to 5 are taken; an editor adds its own below
    QLineEdit* EditDestPath = nullptr;
    QPushButton* ButtonBrowseDestPath = nullptr;
    QLineEdit* EditMask = nullptr;
    TMaskButtons* MaskButtons = nullptr;
    QComboBox* ComboDuplicateMode = nullptr;
};

/// Builds the group for `form`. `folderCaption` says what is saved in the folder;
/// `attachmentMasks` chooses the placeholder buttons for attachment file names.
TWhereToSave NewWhereToSaveGroup(QWidget* form, const char* folderCaption, bool attachmentMasks);
