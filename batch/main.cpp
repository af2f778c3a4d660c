// qelbat: runs one job definition file through the engine from a console.

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "batch/BatchRunner.h"
#include "platform/com/ComRuntime.h"

namespace {

/// The object runtime for the main thread, for the whole run.
class ComApartment {
public:
    ComApartment() { CoInitialize(); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace

int main(int argc, char** argv)
{
    // Time stamps follow the user's date and time format.
    std::setlocale(LC_TIME, "");
    const ComApartment apartment;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return TBatchRunner(std::cout, std::cerr, std::cin).Run(args);
}
