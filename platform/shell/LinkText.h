#pragma once
// The ANSI text of shell link files: Windows-1252, the ANSI code page of Windows in the
// West. (UTF-16 and the way back from Windows-1252 come from platform/runtime/Text.h.)

#include <string>
#include <string_view>

namespace shell {

/// UTF-8 to Windows-1252; each character outside the code page becomes one "?". The five
/// unassigned bytes stand for U+0081, U+008D, U+008F, U+0090 and U+009D, as on Windows.
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace shell
