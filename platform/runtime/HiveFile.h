#pragma once
// One registry hive kept in memory and backed by its .reg file, shared by nothing: each TRegistry
// has its own. Used by TRegistry only.

#include "platform/runtime/FileIO.h"
#include "platform/runtime/RegHive.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class HiveFile {
public:
    /// `file` is "<folder>/<rootName>.reg"; its lock file is "<file>.lock".
    HiveFile(std::filesystem::path file, std::string rootName);

    const std::string& RootName() const noexcept { return rootName_; }

    /// The hive as it is on disk now (re-read when another process changed it), or with the
    /// changes of the running transaction.
    const RegKey& Root();

    /// Applies `change` to the newest hive and commits it: under the lock, re-read, change,
    /// write. Inside a transaction the change is only kept in memory. If `change` or the write
    /// fails, the hive in memory is thrown away and read again on next use.
    void Change(const std::function<void(RegKey&)>& change);

    /// Locks the hive and collects changes until Commit or Rollback.
    void Begin();
    void Commit();
    void Rollback() noexcept;
    bool InTransaction() const noexcept { return lock_ != nullptr; }

private:
    void Refresh();
    void Write();

    std::filesystem::path file_;
    std::string rootName_;
    std::unique_ptr<RegKey> root_;
    FileStamp stamp_;
    std::unique_ptr<FileLock> lock_;
};
