#pragma once
// The regsvr command: `regsvr LIBRARY` calls the library's DllRegisterServer,
// `regsvr /u LIBRARY` its DllUnregisterServer.

#include <ostream>
#include <string>
#include <vector>

namespace regsvr {

/// Exit codes.
enum Result : int {
    kSucceeded = 0,
    kUsage = 1,
    kLoadFailed = 2,
    kNoEntryPoint = 3,
    kCallFailed = 4,
};

/// Runs the command with its arguments (without the program name); messages go to `out`
/// on success and to `err` on failure.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace regsvr
