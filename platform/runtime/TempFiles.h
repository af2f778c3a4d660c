#pragma once
// Temporary files of this system. A file is written whole under a name of its own, beside its
// final place (or in a Maildir folder's tmp/), and then renamed into place. The name tells which
// process writes it, so that a later run removes what a killed run left behind without touching
// another program's files or those of a run still at work.

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>

/// A name no other file of any process has: "<seconds>.M<microseconds>P<pid>Q<counter>.<host>",
/// the host with "/" and ":" escaped (Maildir's unique names). Names made later sort later.
std::string UniqueStamp();

/// A new temporary file name in `dir`: ".trovanta-<UniqueStamp>.part". Temporary files that
/// killed runs left in `dir` are removed first (RemoveLeftOverTempFiles).
std::filesystem::path OwnTempFileName(const std::filesystem::path& dir);

/// Whether `fileName` names a temporary file of this system whose writer is gone: made on this
/// host by a process that runs no more (or whose number a process started later has taken), or
/// made on another host and last changed (`modified`) more than 36 hours before `now`.
bool IsLeftOverTempFile(std::string_view fileName, std::time_t modified, std::time_t now);

/// Removes the regular files of `dir` that IsLeftOverTempFile says were left behind. A
/// directory is looked at once a minute at most (among the last ones looked at); one that
/// cannot be read is left alone.
void RemoveLeftOverTempFiles(const std::filesystem::path& dir);
