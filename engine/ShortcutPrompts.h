#pragma once
// How the shortcut handling asks the user. The send capture and the reimport ask through
// this interface only: the windows implement it with the two prompts and the search path
// editor, the batch program with TBatchShortcutPrompts, which never shows anything, and
// tests script it.

#include <string>

class TSearchPathList;

/// Results of the prompts (the modal results of their buttons).
namespace prompt {
inline constexpr int mrCancel = 2;         ///< "Cancel", Esc or the close box of either prompt
inline constexpr int mrYes = 6;            ///< "Yes": replace this shortcut
inline constexpr int mrNo = 7;             ///< "No": keep this shortcut
inline constexpr int mrYesToAll = 10;      ///< "Yes to all": replace this and every later one
inline constexpr int mrSearchPaths = 101;  ///< "Search paths...": edit the search paths, then look again
inline constexpr int mrDontReplace = 102;  ///< "Do not replace": keep the shortcut
inline constexpr int mrRemoveAtt = 103;    ///< "Remove attachment": drop the shortcut
}  // namespace prompt

class TShortcutPrompts {
public:
    TShortcutPrompts() = default;
    virtual ~TShortcutPrompts() = default;
    TShortcutPrompts(const TShortcutPrompts&) = delete;
    TShortcutPrompts& operator=(const TShortcutPrompts&) = delete;

    /// Asks whether the shortcut attachment AttFilename is to be replaced by the file
    /// OrgFilename: mrYes, mrNo, mrYesToAll or mrCancel.
    virtual int ConfirmReplace(const std::string& AttFilename, const std::string& OrgFilename) = 0;

    /// Reports that OrgFilename, the target of AttFilename, cannot be found: mrSearchPaths,
    /// mrDontReplace (offered only with AllowKeep), mrRemoveAtt (only with AllowRemove) or
    /// mrCancel.
    virtual int ShowFileNotFound(const std::string& AttFilename, const std::string& OrgFilename,
                                 bool AllowKeep, bool AllowRemove) = 0;

    /// Lets the user edit List, offering DefaultOrgPath as the original root of a new pair.
    /// True when the user accepted; List is then changed. Saving it is the caller's.
    virtual bool EditSearchPaths(const std::string& DefaultOrgPath, TSearchPathList& List) = 0;
};

/// The prompts of a program without a display. The batch program runs the reimport with
/// replace mode 3, where nothing is ever asked; should anything ask anyway, every answer
/// leaves the e-mail as it is: "No", "Do not replace" where it is offered (else "Cancel"),
/// and the search paths unchanged.
class TBatchShortcutPrompts final : public TShortcutPrompts {
public:
    int ConfirmReplace(const std::string&, const std::string&) override { return prompt::mrNo; }
    int ShowFileNotFound(const std::string&, const std::string&, bool AllowKeep, bool) override
    {
        return AllowKeep ? prompt::mrDontReplace : prompt::mrCancel;
    }
    bool EditSearchPaths(const std::string&, TSearchPathList&) override { return false; }
};
