#include "windows/WhereToSave.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "windows/ControlTools.h"
#include "windows/MaskButtons.h"

using namespace controls;

TWhereToSave NewWhereToSaveGroup(QWidget* form, const char* folderCaption, bool attachmentMasks)
{
    TWhereToSave where;
    where.Group = NewGroup(form, " Where to save ", "GroupWhere");
    QGroupBox* group = where.Group;
    auto* grid = where.Grid = new QGridLayout(group);
    grid->addWidget(NewLabel(group, folderCaption), 0, 0, 1, 2);
    where.EditDestPath = NewEdit(group, "EditDestPath");
    where.ButtonBrowseDestPath = NewBrowseButton(group, "ButtonBrowseDestPath");
    grid->addWidget(where.EditDestPath, 1, 0);
    grid->addWidget(where.ButtonBrowseDestPath, 1, 1);
    auto* maskRow = new QHBoxLayout;
    maskRow->addWidget(NewLabel(group, "Mask for generating subfolders and the filename:"));
    maskRow->addStretch(1);
    maskRow->addWidget(NewMyEmailsLink(form));
    grid->addLayout(maskRow, 2, 0, 1, 2);
    where.EditMask = NewEdit(group, "EditMask");
    grid->addWidget(where.EditMask, 3, 0, 1, 2);
    where.MaskButtons = new TMaskButtons(group, where.EditMask, attachmentMasks);
    where.MaskButtons->setObjectName(QStringLiteral("MaskButtons"));
    grid->addWidget(where.MaskButtons, 4, 0, 1, 2);
    auto* duplicateRow = new QHBoxLayout;
    duplicateRow->addWidget(NewLabel(group, "If filename already exists: "));
    where.ComboDuplicateMode = NewComboList(group, "ComboDuplicateMode", {"Add a counter", "Overwrite"});
    duplicateRow->addWidget(where.ComboDuplicateMode);
    duplicateRow->addStretch(1);
    grid->addLayout(duplicateRow, 5, 0, 1, 2);
    return where;
}
