// Mask expansion with hostile values: the input holds the mask, the attachment's name and the
// texts of the item and its folders, separated by NUL bytes. The expanded mask made into a path
// either is refused as too long or stays below the destination folder.

#include "engine/ActionPaths.h"
#include "platform/runtime/DateTime.h"
#include "platform/runtime/Exception.h"
#include "tests/engine/EngineProbe.h"
#include "tests/fuzz/FuzzInput.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(std::string_view bytes)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        fields.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    fields.resize(std::max<std::size_t>(fields.size(), 16));
    return fields;
}

void SetValues(test::EngineProbe& e, const std::vector<std::string>& f)
{
    e.FSenderName = f[2];
    e.FSenderAddress = f[3];
    e.FRecipientName = f[4];
    e.FRecipientAddress = f[5];
    e.FSubject = f[6];
    e.FSubjectNoPrefix = f[7];
    e.FOutlookUser = f[8];
    e.FWindowsUser = f[9];
    e.FFolderPath = f[10];
    e.FFolderPathRel = f[11];
    e.FMyName = f[12];
    e.FMyAddress = f[13];
    e.FOtherName = f[14];
    e.FOtherAddress = f[15];
    e.FItemDate = EncodeDate(2024, 3, 5);
    e.FNow = EncodeDate(2025, 11, 9);
}

/// No part of a relative path climbs out of the folder it is put below.
bool StaysBelow(const std::string& path)
{
    if (path.empty() || path.front() == '/') return false;
    for (const auto& part : std::filesystem::path(path))
        if (part == ".." || part == "." || part.empty()) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fields = Fields(fuzz::Bytes(data, size));
    test::EngineProbe engine;
    SetValues(engine, fields);
    std::string path;
    try {
        path = MaskFilePath(engine.ExpandMask(fields[0], fields[1]));
        CheckPathLength(path);
    } catch (const Exception&) {
        return 0;  // refused as too long
    }
    if (!StaysBelow(path)) std::abort();
    return 0;
}
