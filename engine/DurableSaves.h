#pragma once
// The files saved from an e-mail that is about to be rewritten without them (its attachments
// replaced by shortcuts or removed). Each file's writeback starts when it is written; just
// before the e-mail is replaced, the files and then the folders that got new entries are
// flushed to disk: a crash never leaves the only copy of an attachment unwritten.

#include <string>
#include <vector>

class TDurableSaves {
public:
    /// Flushes the file at Path to disk; raises EOSError when it cannot be.
    static void FlushFile(const std::string& Path);
    /// Notes a file, written under its final name, that must reach the disk, and starts
    /// writing it out.
    void AddFile(const std::string& Path);
    /// Notes a folder whose entries must reach the disk: it holds a new file or folder.
    void AddFolder(const std::string& Folder);
    /// Flushes each noted file and folder once and forgets them; raises EOSError when one
    /// cannot be.
    void Flush();
    void Clear();

private:
    std::vector<std::string> files_;
    std::vector<std::string> folders_;  // one or two for most e-mails
};
