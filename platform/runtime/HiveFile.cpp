#include "platform/runtime/HiveFile.h"

#include "platform/runtime/Exception.h"

namespace fs = std::filesystem;

HiveFile::HiveFile(fs::path file, std::string rootName)
    : file_(std::move(file)), rootName_(std::move(rootName))
{
}

void HiveFile::Refresh()
{
    if (root_ && stamp_.Current(file_)) return;
    root_.reset();
    const auto bytes = stamp_.Load(file_);
    try {
        root_ = bytes ? ParseRegFile(*bytes, rootName_, file_.string()) : std::make_unique<RegKey>();
    } catch (...) {
        stamp_.Invalidate();
        throw;
    }
}

const RegKey& HiveFile::Root()
{
    if (!InTransaction()) Refresh();
    return *root_;
}

void HiveFile::Write()
{
    try {
        fs::create_directories(file_.parent_path());
        WriteFileAtomically(file_, FormatRegFile(*root_, rootName_), 0600);
    } catch (const Exception& e) {
        throw ERegistryException("Cannot write the registry file " + file_.string() + ": " + e.Message());
    } catch (const fs::filesystem_error& e) {
        throw ERegistryException("Cannot write the registry file " + file_.string() + ": " + e.what());
    }
}

void HiveFile::Change(const std::function<void(RegKey&)>& change)
{
    std::unique_ptr<FileLock> ownLock;
    if (!InTransaction()) {
        fs::create_directories(file_.parent_path());
        ownLock = std::make_unique<FileLock>(fs::path(file_.string() + ".lock"), FileLock::Mode::Exclusive);
        Refresh();
    }
    try {
        change(*root_);
        if (!InTransaction()) Write();
    } catch (...) {
        if (!InTransaction()) {
            root_.reset();
            stamp_.Invalidate();
        }
        throw;
    }
    if (!InTransaction()) stamp_.Load(file_);  // still under the lock: the file on disk is the hive in memory
}

void HiveFile::Begin()
{
    if (InTransaction())
        throw ERegistryException("A registry transaction is already running for " + file_.string());
    fs::create_directories(file_.parent_path());
    auto lock = std::make_unique<FileLock>(fs::path(file_.string() + ".lock"), FileLock::Mode::Exclusive);
    Refresh();
    lock_ = std::move(lock);
}

void HiveFile::Commit()
{
    if (!InTransaction()) return;
    try {
        Write();
    } catch (...) {
        Rollback();
        throw;
    }
    stamp_.Load(file_);
    lock_.reset();
}

void HiveFile::Rollback() noexcept
{
    root_.reset();
    stamp_.Invalidate();
    lock_.reset();
}
