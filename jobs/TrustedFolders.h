#pragma once
// Which files a shortcut may bring back into an e-mail without a question. A shortcut
// attachment can come from anybody; it is turned back into its file only when that file is a
// regular file inside a folder the settings name as a place attachments are saved to: the
// folders remembered when the system replaced saved attachments by shortcuts, the save
// destinations of the remembered manual job, of the job being run and of the rules, and the
// original and new roots of the search paths. Paths are compared in their canonical form
// (symbolic links, "." and ".." resolved) and part by part, so a folder /a/b admits /a/b/c
// but neither /a/bc/x nor a link inside /a/b that points elsewhere.

#include <string>
#include <vector>

class TRegistry;
class TSearchPathList;

/// The canonical form of an existing path; "" when it does not resolve (missing, a loop, a
/// relative name, a Windows path).
std::string CanonicalPath(const std::string& Path);

/// True when the canonical Path is Folder itself or lies below it.
bool IsInsideFolder(const std::string& Path, const std::string& Folder);

class TTrustedFolders {
public:
    /// Adds the folder in its canonical form, once; a name that is empty or no existing
    /// folder adds nothing.
    void Add(const std::string& Folder);
    /// Adds the original and the new root of every line.
    void AddSearchPaths(const TSearchPathList& List);

    /// The canonical path of File when it is a regular file inside one of the folders; ""
    /// otherwise.
    std::string Admit(const std::string& File) const;

    const std::vector<std::string>& Folders() const { return FFolders; }

private:
    std::vector<std::string> FFolders;
};

/// The folders of the settings in `reg`: the remembered shortcut folders and the save
/// destinations of the remembered manual job and of every rule. Settings that cannot be read
/// add nothing.
TTrustedFolders LoadSavedFolders(TRegistry& reg);
/// The same from the registry in TrovantaHome().
TTrustedFolders LoadSavedFolders();
