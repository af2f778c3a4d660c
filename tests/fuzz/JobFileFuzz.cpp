// The readers of the text files that come from other people's machines: a job file (profile
// file, UTF-8, UTF-16 or Windows-1252) and the search path file. A job that loaded saves as a
// file that loads and saves to the same bytes again.

#include "jobs/Options.h"
#include "jobs/SearchPathList.h"
#include "platform/runtime/Exception.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>

namespace {

std::string LoadAndSave(const std::filesystem::path& from, const std::filesystem::path& to)
{
    TManualOptions options;
    options.LoadFromFile(from.string());
    options.SaveToFile(to.string());
    return test::ReadFile(to);
}

void SearchPaths(const std::filesystem::path& file)
{
    TSearchPathList list;
    list.LoadFromFile(file.string());
    std::string found;
    list.FindInSearchPaths("C:\\Data\\report.pdf", found);
    list.FindInSearchPaths((fuzz::ScratchDir() / "moved" / "a.txt").string(), found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::InputFile("job.qef", data, size);
    SearchPaths(input);
    const std::string saved = LoadAndSave(input, fuzz::ScratchDir() / "saved.qef");
    if (LoadAndSave(fuzz::ScratchDir() / "saved.qef", fuzz::ScratchDir() / "again.qef") != saved)
        std::abort();
    return 0;
}
