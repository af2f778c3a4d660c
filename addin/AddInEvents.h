#pragma once
// What the add-in does at the three events it receives while the mail client runs: a new
// e-mail, an item being sent, the options dialog being built. Each call reads its settings
// from the registry afresh, creates what it needs and frees it again; nothing is kept
// between calls. The add-in object's handlers (TTrovanta::DoNewMail, DoItemSend,
// DoOptionsPagesAdd) call these with the objects it holds.

#include "platform/outlook/Outlook.h"

class TDMGlobal;
class TMAPIUtils;
class TShortcutPrompts;

/// Title of the add-in's message boxes.
inline constexpr const char* kAddInTitle = "Trovanta";
/// The tab title of the rules page.
inline constexpr const char* kOptionPageTitle = "Trovanta";

/// Processes a new e-mail by the first matching rule when processing of incoming e-mails is
/// on. Every failure (of loading the settings, validating the rules or processing) is shown
/// once, after the engine is freed, in an error box titled "Trovanta"; a cancel is silent.
void HandleNewMail(const ComPtr<outlook::IOutlookApplication>& Application, TMAPIUtils* MAPIUtils,
                   const TDMGlobal* DMGlobal, const ComPtr<outlook::IOutlookItem>& Item);

/// Puts original files back in place of shortcut attachments of an e-mail being sent, by the
/// send option of the registry, asking through `Prompts`; the option is saved back afterwards
/// (a "Yes to all" makes later sends replace without asking). A failure sets `Cancel` and is
/// shown; the user's cancel in a prompt sets `Cancel` silently. Shortcuts whose files lie
/// outside the folders attachments are saved to stay in the e-mail, and the user is shown
/// which; the send goes on.
void HandleItemSend(const ComPtr<outlook::IOutlookItem>& Item, bool& Cancel, TShortcutPrompts& Prompts);

/// Adds the rules page to the options dialog through its pages collection; anything that is
/// no pages collection is left alone. A failure of `Add` passes on.
void HandleOptionsPagesAdd(const ComPtr<IUnknown>& Pages);

/// The add-in's error box: `Text` with the title "Trovanta" and the error icon.
void ShowAddInError(const std::string& Text);
