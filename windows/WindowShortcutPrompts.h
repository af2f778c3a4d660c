#pragma once
// The shortcut prompts of a program with a display: the confirm-replace prompt, the
// file-not-found prompt and the search path editor, each opened without an owner.

#include "engine/ShortcutPrompts.h"

class TWindowShortcutPrompts final : public TShortcutPrompts {
public:
    int ConfirmReplace(const std::string& AttFilename, const std::string& OrgFilename) override;
    int ShowFileNotFound(const std::string& AttFilename, const std::string& OrgFilename, bool AllowKeep,
                         bool AllowRemove) override;
    bool EditSearchPaths(const std::string& DefaultOrgPath, TSearchPathList& List) override;
};
