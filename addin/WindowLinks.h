#pragma once
// Where the add-in meets the job editing windows: the main job window behind the toolbar
// button, the rule editor and the about window of the rules page, and the shortcut prompts of
// the item-send handler.

#include <memory>

#include "platform/outlook/Outlook.h"

class QWidget;
class TJobOptions;
class TMAPIUtils;
class TShortcutPrompts;

/// Shows the rule editor owned by `Owner` on a private copy of `Rule`; when it is closed
/// with OK, copies the editor's rule back into `Rule` and returns true.
bool EditRule(QWidget* Owner, TJobOptions& Rule);

/// Shows the about window owned by `Owner`.
void ShowAbout(QWidget* Owner);

/// Creates the main job window without owner, hands it the application object and the MAPI
/// utility client, runs it modally and frees it, also when it fails.
void RunMainWindow(const ComPtr<outlook::IOutlookApplication>& Application, TMAPIUtils* MAPIUtils);

/// The prompts through which the item-send handler asks the user.
std::unique_ptr<TShortcutPrompts> MakeShortcutPrompts();
