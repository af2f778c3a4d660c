#include "engine/WrittenFiles.h"

#include <sys/stat.h>

#include <functional>

std::size_t TWrittenFiles::KeyHash::operator()(const Key& key) const noexcept
{
    return std::hash<unsigned long long>{}(static_cast<unsigned long long>(key.inode) * 31u +
                                           static_cast<unsigned long long>(key.device));
}

void TWrittenFiles::Add(const std::string& Path)
{
    struct stat info {};
    if (::lstat(Path.c_str(), &info) == 0) keys_.insert({info.st_dev, info.st_ino});
}

bool TWrittenFiles::Contains(const std::string& Path) const
{
    struct stat info {};
    return ::lstat(Path.c_str(), &info) == 0 && keys_.count({info.st_dev, info.st_ino}) > 0;
}
