#pragma once
// Naming, finding, creating and comparing mail folders. A folder's identity is the pair of
// its EntryID and StoreID; its display path is the names from the store's top-level folder
// down to it, joined by " \ " ("Mailbox \ Inbox \ Projects").

#include <string>

#include "platform/outlook/Outlook.h"

/// The display path of a folder: its Name, preceded by the names of its parents while the
/// parent is a folder (Class 2).
std::string GetFolderPath(const ComPtr<outlook::IMAPIFolder>& Folder);

/// The display path of the folder with these identifiers; "" for an empty EntryID (the
/// client is not asked) and when the folder cannot be found or read for any reason.
std::string GetFolderPathFromID(outlook::IOutlookApplication& Application, const std::string& EntryID,
                                const std::string& StoreID);

/// The first subfolder of Parent whose Name equals Name ignoring ASCII case; created
/// (with Folders.Add) when there is none.
ComPtr<outlook::IMAPIFolder> FindOrAddSubFolder(const ComPtr<outlook::IMAPIFolder>& Parent,
                                                const std::string& Name);

/// The folder at Path below Root, created where missing. Path is split at "\"; each part is
/// trimmed of blanks and control characters and empty parts are skipped. Errors pass on.
ComPtr<outlook::IMAPIFolder> ForceFolderPath(const ComPtr<outlook::IMAPIFolder>& Root, const std::string& Path);

/// True when both folders have the same EntryID and StoreID (ignoring ASCII case).
bool IsSameFolder(const ComPtr<outlook::IMAPIFolder>& A, const ComPtr<outlook::IMAPIFolder>& B);

/// True when Folder is Ancestor or lies anywhere below it.
bool IsFolderWithin(const ComPtr<outlook::IMAPIFolder>& Ancestor, const ComPtr<outlook::IMAPIFolder>& Folder);
