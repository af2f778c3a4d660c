#pragma once
// How the windows let the user choose a folder of the mail store ("..." beside an Outlook
// folder field). The mail client's own folder picker of the object model opens no window on
// this platform, so the windows ask through this seam: by default a dialog of their own that
// shows the folder tree of the "MAPI" namespace; tests install a chooser that answers as scripted.

#include <functional>

#include "platform/outlook/Outlook.h"

class QWidget;

/// Chooses a folder of `ns`; an empty result means the user cancelled.
using TOutlookFolderChooser =
    std::function<ComPtr<outlook::IMAPIFolder>(QWidget* parent, outlook::INameSpace& ns)>;

/// Installs `chooser` (an empty one restores the dialog) and returns the one it replaces.
TOutlookFolderChooser SetOutlookFolderChooser(TOutlookFolderChooser chooser);

/// The folder the user picks in the "MAPI" namespace of `app`; empty when cancelled. Failures
/// of the mail client raise ComError.
ComPtr<outlook::IMAPIFolder> PickOutlookFolder(QWidget* parent, outlook::IOutlookApplication& app);
