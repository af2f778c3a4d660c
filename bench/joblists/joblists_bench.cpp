// Times loading and saving job files with long lists: a filter with N sender masks (the default
// sizes 1,000, 16,000 and 100,000), read by TManualOptions::LoadFromFile and written back by
// SaveToFile. Prints one line per size: wall and CPU milliseconds of each (on a shared machine
// the CPU time is the one to compare); both should grow with N, not N².
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "jobs/Options.h"

namespace {

void WriteJobFile(const std::filesystem::path& path, int count)
{
    std::ofstream out(path, std::ios::binary);
    out << "[Source]\r\nSource=1\r\nEntry=496E626F78\r\nFullName=Mailbox \\ Inbox\r\n"
        << "[Filter]\r\nActive=1\r\nHasAtt=1\r\nHasNoAtt=1\r\nSenderInclCount=" << count << "\r\n";
    for (int i = 1; i <= count; ++i) out << "SenderIncl" << i << "=*@sender" << i << ".example\r\n";
    out << "[ReadUnread]\r\nActive=1\r\nMode=1\r\n";
}

struct Times {
    double wallMs;
    double cpuMs;
};

template <class F>
Times Measure(F f)
{
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    f();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC};
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
    if (counts.empty()) counts = {1000, 16000, 100000};
    const auto dir =
        std::filesystem::temp_directory_path() / ("joblists-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::printf("%10s %14s %14s %14s %14s\n", "entries", "load wall ms", "load CPU ms", "save wall ms",
                "save CPU ms");
    for (const int count : counts) {
        const auto file = dir / "list.qef";
        WriteJobFile(file, count);
        TManualOptions options;
        const Times load = Measure([&] { options.LoadFromFile(file.string()); });
        const Times save = Measure([&] { options.SaveToFile((dir / "saved.qef").string()); });
        std::printf("%10d %14.1f %14.1f %14.1f %14.1f\n", count, load.wallMs, load.cpuMs, save.wallMs,
                    save.cpuMs);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
