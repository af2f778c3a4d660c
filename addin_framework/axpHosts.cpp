#include "addin_framework/axpHosts.h"

#include <algorithm>
#include <vector>

#include "platform/com/ComRuntime.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Text.h"

TStartMode StartModeFromString(std::string_view Text)
{
    const std::string upper = UpperCase(Text);
    for (std::size_t i = 0; i < StartModeNames.size(); ++i)
        if (upper == StartModeNames[i]) return static_cast<TStartMode>(i);
    return smFirstStart;
}

// The position of the separator is taken in the trimmed text and that same text is cut, so
// that blanks before the first token cannot shift the cut.
std::string NextToken(char Separator, std::string& Rest)
{
    const std::string trimmed = Trim(Rest);
    if (trimmed.empty()) return {};
    const auto position = trimmed.find(Separator);
    if (position == std::string::npos) {
        Rest.clear();
        return trimmed;
    }
    Rest = trimmed.substr(position + 1);
    return Trim(trimmed.substr(0, position));
}

namespace {

/// The major product version in the version resource of the program at `Path`. Programs on
/// this platform carry no version resource, so there is none to read.
int ProductMajorVersion(const std::string&)
{
    return 0;
}

}  // namespace

int GetHostVersion(const std::string& ProgID)
{
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(ProgID, &clsid))) return 0;
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    if (!reg.OpenKeyReadOnly("\\CLSID\\" + clsid.ToString() + "\\LocalServer32")) return 0;
    if (!reg.ValueExists("")) return 0;
    std::string path = reg.ReadString("");
    if (const auto slash = path.find('/'); slash != std::string::npos) path = Trim(path.substr(0, slash));
    const int version = ProductMajorVersion(path);
    if (version == 0) return 0;
    return ProgID == "MapPoint.Application" ? version + 1 : version;
}

ComPtr<IDispatch> GetRunningHostObject(const std::string& ProgID)
{
    const CLSID clsid = ProgIDToClassID(ProgID);
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(clsid, nullptr, running.Put())) || !running) return {};
    return running.As<IDispatch>();
}

ComPtr<IDispatch> CreateHostObject(const std::string& ProgID)
{
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(ProgID, &clsid))) return {};
    ComPtr<IDispatch> created;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IDispatch::iid,
                     created.PutVoid());
    return created;
}

std::string NextExcelOpenName(const std::vector<std::string>& ValueNames)
{
    TStringList sorted;
    for (const auto& name : ValueNames) sorted.Add(name);
    sorted.SetSorted(true);
    std::string last;
    for (const auto& name : sorted)
        if (UpperCase(name).rfind("OPEN", 0) == 0) last = UpperCase(name);
    if (last.empty()) return "OPEN";
    if (last == "OPEN") return "OPEN1";
    return "OPEN" + std::to_string(StrToIntDef(last.substr(4), 0) + 1);
}
