// qelbat: runs one job definition file through the engine from a console.

#include <malloc.h>

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

/// A run reads, parses and writes one message after another, each in buffers of up to a few
/// megabytes. With the C library's defaults a free at the top of the heap gives the memory
/// back to the system and the next message faults it in again (a tenth of the time of a .txt
/// export went there); up to 16 MB are kept for the next message instead. Peak memory stays
/// that of the largest message.
void KeepMemoryBetweenMessages()
{
    constexpr int kKept = 16 << 20;
    mallopt(M_TRIM_THRESHOLD, kKept);
    mallopt(M_MMAP_THRESHOLD, kKept);
}

}  // namespace

int main(int argc, char** argv)
{
    // Time stamps follow the user's date and time format.
    std::setlocale(LC_TIME, "");
    KeepMemoryBetweenMessages();
    const ComApartment apartment;
    const std::vector<std::string> args(argv + 1, argv + argc);
    return TBatchRunner(std::cout, std::cerr, std::cin).Run(args);
}
