// The .reg hive parser on text from anywhere: damaged text raises the registry's error and
// nothing else; a hive that parsed is written as text that parses again to the same text.

#include "platform/runtime/Exception.h"
#include "platform/runtime/RegHive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::string_view root = "HKEY_CURRENT_USER";
    std::string text;
    try {
        const auto hive =
            ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), root, "fuzz.reg");
        text = FormatRegFile(*hive, root);
    } catch (const ERegistryException&) {
        return 0;
    }
    const auto reread = ParseRegFile(text, root, "written.reg");  // throws (and fails) if not
    if (FormatRegFile(*reread, root) != text) std::abort();
    return 0;
}
