#include "addin/WindowLinks.h"

#include "jobs/Options.h"
#include "platform/ui/ApplicationObject.h"
#include "windows/FrmAbout.h"
#include "windows/FrmEditAutoOption.h"
#include "windows/FrmMain.h"
#include "windows/WindowShortcutPrompts.h"

bool EditRule(QWidget* Owner, TJobOptions& Rule)
{
    TFormEditAutoOption editor(Owner);
    editor.OptionsCopy.Assign(Rule);
    if (!editor.Execute()) return false;
    Rule.Assign(editor.OptionsCopy);
    return true;
}

void ShowAbout(QWidget* Owner)
{
    ShowAboutBox(Owner);
}

void RunMainWindow(const ComPtr<outlook::IOutlookApplication>& Application, TMAPIUtils* MAPIUtils)
{
    TFormMain form(nullptr);
    form.OutlookApp = Application;
    form.MapiUtils = MAPIUtils;
    // The window owns the library's message boxes while it runs inside the mail client.
    const ui::ApplicationHandleGuard handle(&form);
    form.Execute();
}

std::unique_ptr<TShortcutPrompts> MakeShortcutPrompts()
{
    return std::make_unique<TWindowShortcutPrompts>();
}
