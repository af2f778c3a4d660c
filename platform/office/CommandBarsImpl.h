#pragma once
// An in-process implementation of command bars for a host program: each host window
// creates its collection, lets add-ins add toolbars and controls to it, renders what is
// visible (walking the `_CommandBars` interfaces) and fires a control's event with
// `CommandBarControl::Execute` when the user clicks it or changes its text.
//
// Bars and controls persist between runs of the host as Office's do: `Save` writes every
// bar and control that is not temporary to a file, `LoadCommandBars` reads them back.

#include <filesystem>
#include <functional>

#include "platform/office/CommandBars.h"

namespace office {

/// What the host does with a collection made here beyond the add-ins' view; reached by
/// `As<ICommandBarsHost>()` on the collection.
struct ICommandBarsHost : IUnknown {
    static constexpr IID iid = MakeGuid("{6A1C0330-7E3B-4C55-9A0E-0B4D2F6E1330}");
    using Base = IUnknown;
    /// Called after every change of a bar or a control (added, deleted, shown, hidden,
    /// renamed, a new face or text), so that the host can redraw; empty to stop.
    virtual void SetChangeListener(std::function<void()> listener) = 0;
    /// Writes every bar and control that is not temporary to `file`, replacing it at once
    /// (a temporary file renamed over it). Raises Exception when it cannot be written.
    virtual void Save(const std::filesystem::path& file) = 0;
};

/// A new, empty collection.
ComPtr<_CommandBars> CreateCommandBars();

/// The collection saved in `file`; an empty one when the file does not exist. Raises
/// Exception (naming the file) when the file cannot be read or parsed.
ComPtr<_CommandBars> LoadCommandBars(const std::filesystem::path& file);

}  // namespace office
