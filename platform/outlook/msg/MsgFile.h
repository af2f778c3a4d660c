#pragma once
// Message files (.msg): the compound-file format in which the mail client saves one item.
// A pure codec between a MIME message (GMime) and such a file (libgsf); it knows nothing
// of folders or of the object model.

#include "platform/outlook/GLibPtr.h"
#include "platform/runtime/DateTime.h"

#include <gmime/gmime.h>

#include <string>

/// What an item knows beyond its MIME text: the flags and times kept by the store.
struct MsgItemProperties {
    bool read = false;            ///< the item has been read (message flag "read")
    TDateTime deliveryTime = 0;   ///< when the item arrived; 0 for none
    TDateTime creationTime = 0;   ///< when the item was created in the store; 0 for none
    bool isPost = false;          ///< a post item ("IPM.Post") rather than a mail ("IPM.Note")
};

/// Writes `message` with `props` as a message file at `path`. The file appears whole or not
/// at all (temporary file in the same folder, then rename; an existing file is replaced).
/// Throws Exception on failure.
void WriteMsgFile(GMimeMessage* message, const MsgItemProperties& props, const std::string& path);
/// The same file written into `fd`, a new and empty file open for writing (not closed; the
/// caller puts it in place); `path` names it in errors. Throws Exception on failure.
void WriteMsgFileTo(GMimeMessage* message, const MsgItemProperties& props, int fd, const std::string& path);

/// Reads a message file as a MIME message: headers from the saved transport headers when
/// present, else built from the properties; plain and HTML bodies; To/Cc/Bcc; attachments
/// with their bytes and names; attached items as message/rfc822 parts, recursively.
/// Throws Exception for a file that cannot be read or is damaged.
GObjectPtr<GMimeMessage> ReadMsgFile(const std::string& path);

/// True when the file starts with the compound-file signature.
bool LooksLikeMsgFile(const std::string& path);
