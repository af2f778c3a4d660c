#include "engine/OutlookTools.h"

#include "platform/runtime/Text.h"

using outlook::IMAPIFolder;
using outlook::IOutlookObject;

namespace {

/// The parent of a folder when that parent is a folder too; empty at the top of a store.
ComPtr<IMAPIFolder> ParentFolder(const ComPtr<IMAPIFolder>& folder)
{
    const ComPtr<IOutlookObject> parent = folder->Parent();
    if (!parent || parent->Class() != outlook::olFolder) return nullptr;
    return parent.As<IMAPIFolder>();
}

}  // namespace

std::string GetFolderPath(const ComPtr<IMAPIFolder>& Folder)
{
    std::string path = Folder->Name();
    for (ComPtr<IMAPIFolder> parent = ParentFolder(Folder); parent; parent = ParentFolder(parent)) {
        path = parent->Name() + " \\ " + path;
    }
    return path;
}

std::string GetFolderPathFromID(outlook::IOutlookApplication& Application, const std::string& EntryID,
                                const std::string& StoreID)
{
    if (EntryID.empty()) return {};
    try {
        const ComPtr<outlook::INameSpace> ns = Application.GetNamespace("MAPI");
        const ComPtr<IMAPIFolder> folder = ns ? ns->GetFolderFromID(EntryID, StoreID) : nullptr;
        if (folder && folder->Class() == outlook::olFolder) return GetFolderPath(folder);
    } catch (const std::exception&) {
        // A folder that is gone, a store that is not open, a malformed identifier: no folder.
    }
    return {};
}

ComPtr<IMAPIFolder> FindOrAddSubFolder(const ComPtr<IMAPIFolder>& Parent, const std::string& Name)
{
    const ComPtr<outlook::IFolders> folders = Parent->Folders();
    const int count = folders->Count();
    for (int i = 1; i <= count; ++i) {
        ComPtr<IMAPIFolder> folder = folders->Item(i);
        if (folder && SameTextAscii(folder->Name(), Name)) return folder;
    }
    return folders->Add(Name);
}

ComPtr<IMAPIFolder> ForceFolderPath(const ComPtr<IMAPIFolder>& Root, const std::string& Path)
{
    ComPtr<IMAPIFolder> folder = Root;
    std::size_t start = 0;
    while (start <= Path.size()) {
        std::size_t end = Path.find('\\', start);
        if (end == std::string::npos) end = Path.size();
        const std::string part = Trim(Path.substr(start, end - start));
        if (!part.empty()) folder = FindOrAddSubFolder(folder, part);
        start = end + 1;
    }
    return folder;
}

bool IsSameFolder(const ComPtr<IMAPIFolder>& A, const ComPtr<IMAPIFolder>& B)
{
    return SameTextAscii(A->EntryID(), B->EntryID()) &&
           SameTextAscii(A->StoreID(), B->StoreID());
}

bool IsFolderWithin(const ComPtr<IMAPIFolder>& Ancestor, const ComPtr<IMAPIFolder>& Folder)
{
    for (ComPtr<IMAPIFolder> current = Folder; current; current = ParentFolder(current)) {
        if (current->Class() != outlook::olFolder) return false;
        if (IsSameFolder(Ancestor, current)) return true;
    }
    return false;
}
