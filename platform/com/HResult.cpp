#include "platform/com/HResult.h"

#include <array>
#include <utility>

#include <fmt/format.h>

namespace {

struct CodeText {
    HRESULT code;
    const char* text;
};

// The texts the operating system gives for these codes, so that messages read as users
// of the mail client know them.
constexpr std::array kTexts{
    CodeText{S_OK, "The operation completed successfully."},
    CodeText{S_FALSE, "Incorrect function."},
    CodeText{E_NOTIMPL, "Not implemented"},
    CodeText{E_NOINTERFACE, "No such interface supported"},
    CodeText{E_POINTER, "Invalid pointer"},
    CodeText{E_FAIL, "Unspecified error"},
    CodeText{E_UNEXPECTED, "Catastrophic failure"},
    CodeText{E_INVALIDARG, "The parameter is incorrect."},
    CodeText{E_OUTOFMEMORY, "Not enough storage is available to complete this operation."},
    CodeText{E_ACCESSDENIED, "Access is denied."},
    CodeText{CLASS_E_NOAGGREGATION, "Class does not support aggregation (or class object is remote)"},
    CodeText{CLASS_E_CLASSNOTAVAILABLE, "ClassFactory cannot supply requested class"},
    CodeText{REGDB_E_CLASSNOTREG, "Class not registered"},
    CodeText{CO_E_CLASSSTRING, "Invalid class string"},
    CodeText{CO_E_NOTINITIALIZED, "CoInitialize has not been called."},
    CodeText{CO_E_DLLNOTFOUND, "DLL for class not found"},
    CodeText{CO_E_ERRORINDLL, "Error in the DLL"},
    CodeText{MK_E_UNAVAILABLE, "Operation unavailable"},
    CodeText{DISP_E_MEMBERNOTFOUND, "Member not found."},
    CodeText{DISP_E_TYPEMISMATCH, "Type mismatch."},
    CodeText{DISP_E_UNKNOWNNAME, "Unknown name."},
    CodeText{DISP_E_EXCEPTION, "Exception occurred."},
    CodeText{DISP_E_BADPARAMCOUNT, "Invalid number of parameters."},
    CodeText{CONNECT_E_NOCONNECTION, "The connection point has no connection with this cookie"},
    CodeText{CONNECT_E_CANNOTCONNECT, "The sink does not support the interface of the connection point"},
};

constexpr bool CodesAreUnique()
{
    for (std::size_t i = 0; i < kTexts.size(); ++i)
        for (std::size_t j = i + 1; j < kTexts.size(); ++j)
            if (kTexts[i].code == kTexts[j].code) return false;
    return true;
}
static_assert(CodesAreUnique(), "one text per code");

}  // namespace

std::string HResultMessage(HRESULT hr)
{
    for (const auto& entry : kTexts)
        if (entry.code == hr) return entry.text;
    return fmt::format("Unspecified error (0x{:08X})", static_cast<std::uint32_t>(hr));
}
