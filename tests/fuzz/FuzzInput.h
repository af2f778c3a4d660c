#pragma once
// What the fuzz targets share: a scratch folder of the process's own, and the input as bytes or
// as a file in it (the readers under test take file names).

#include "tests/support/TempDir.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzz {

/// A private folder that lives as long as the process.
inline const std::filesystem::path& ScratchDir()
{
    static const test::TempDir dir;
    return dir.Path();
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

/// The input written as the file `name` of the scratch folder.
inline std::filesystem::path InputFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const auto path = ScratchDir() / name;
    test::WriteFile(path, std::string(Bytes(data, size)));
    return path;
}

}  // namespace fuzz
