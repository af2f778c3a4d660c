#pragma once
// The files saved from an e-mail that is about to be rewritten without them (its attachments
// replaced by shortcuts or removed). Each file is flushed to disk when written, and the folders
// that got new entries are flushed once each before the e-mail is replaced: a crash never
// leaves the only copy of an attachment unwritten.

#include <string>
#include <vector>

class TDurableSaves {
public:
    /// Flushes the file at Path to disk; raises EOSError when it cannot be.
    static void FlushFile(const std::string& Path);
    /// Notes a folder whose entries must reach the disk: it holds a new file or folder.
    void AddFolder(const std::string& Folder);
    /// Flushes each noted folder once and forgets them; raises EOSError when one cannot be.
    void FlushFolders();
    void Clear() { folders_.clear(); }

private:
    std::vector<std::string> folders_;  // one or two for most e-mails
};
