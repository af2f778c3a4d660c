#pragma once
// The files that one run of the engine has written, known by device and inode (a few bytes
// each, whatever their paths): in overwrite mode a run does not overwrite its own files where
// the attachments leave the e-mail.

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <unordered_set>

class TWrittenFiles {
public:
    /// Remembers the directory entry at Path; nothing when it cannot be looked up.
    void Add(const std::string& Path);
    /// True when the entry at Path is one that Add remembered.
    bool Contains(const std::string& Path) const;
    void Clear() { keys_.clear(); }

private:
    struct Key {
        dev_t device;
        ino_t inode;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept;
    };
    std::unordered_set<Key, KeyHash> keys_;
};
