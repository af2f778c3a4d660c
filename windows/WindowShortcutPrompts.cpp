#include "windows/WindowShortcutPrompts.h"

#include "windows/FrmConfirmReplace.h"
#include "windows/FrmEditSearchPaths.h"
#include "windows/FrmNotFound.h"

int TWindowShortcutPrompts::ConfirmReplace(const std::string& AttFilename, const std::string& OrgFilename)
{
    TFormConfirmReplace form;
    form.SetAttFilename(AttFilename);
    form.SetOrgFilename(OrgFilename);
    return form.Execute();
}

int TWindowShortcutPrompts::ShowFileNotFound(const std::string& AttFilename, const std::string& OrgFilename,
                                             bool AllowKeep, bool AllowRemove)
{
    return ::ShowFileNotFound(nullptr, AttFilename, OrgFilename, AllowKeep, AllowRemove);
}

bool TWindowShortcutPrompts::EditSearchPaths(const std::string& DefaultOrgPath, TSearchPathList& List)
{
    return ::EditSearchPaths(nullptr, DefaultOrgPath, List);
}
