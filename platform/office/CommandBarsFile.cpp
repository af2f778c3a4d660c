// The file in which a host keeps its command bars between runs: an INI file with one
// section per bar ("Bar1") and per control ("Bar1.Control2", a popup's controls below it:
// "Bar1.Control2.Control1"). A face is "<width>x<height>:" and eight hex digits per pixel.

#include <filesystem>
#include <system_error>

#include <fmt/format.h>

#include "platform/com/ComError.h"
#include "platform/office/CommandBarObjects.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/IniFile.h"
#include "platform/runtime/Text.h"

namespace office::impl {
namespace {

std::string FaceText(const Picture& face)
{
    if (face.Empty()) return {};
    std::string text = fmt::format("{}x{}:", face.Width, face.Height);
    for (const std::uint32_t pixel : face.Pixels) text += fmt::format("{:08X}", pixel);
    return text;
}

Picture ParseFace(const std::string& text)
{
    Picture face;
    if (text.empty()) return face;
    const auto x = text.find('x');
    const auto colon = text.find(':');
    if (x == std::string::npos || colon == std::string::npos || colon < x ||
        !TryStrToInt(text.substr(0, x), face.Width) ||
        !TryStrToInt(text.substr(x + 1, colon - x - 1), face.Height) || face.Width <= 0 || face.Height <= 0 ||
        face.Width > 1024 || face.Height > 1024)
        throw Exception("malformed face \"" + Utf8Cut(text, 40) + "\"");
    const std::string hex = text.substr(colon + 1);
    const std::size_t count = static_cast<std::size_t>(face.Width) * face.Height;
    if (hex.size() != count * 8) throw Exception("face pixels do not match its size");
    face.Pixels.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        int value = 0;
        if (!TryStrToInt("0x" + hex.substr(i * 8, 8), value)) throw Exception("malformed face pixel");
        face.Pixels.push_back(static_cast<std::uint32_t>(value));
    }
    return face;
}

void WriteControl(TIniFile& ini, const std::string& section, const ControlState& s)
{
    ini.WriteInteger(section, "Type", s.type);
    ini.WriteInteger(section, "Id", s.id);
    ini.WriteString(section, "Tag", s.tag);
    ini.WriteString(section, "Caption", s.caption);
    ini.WriteString(section, "TooltipText", s.tooltipText);
    ini.WriteString(section, "Parameter", s.parameter);
    ini.WriteBool(section, "Visible", s.visible);
    ini.WriteBool(section, "Enabled", s.enabled);
    ini.WriteInteger(section, "Style", s.style);
    ini.WriteString(section, "Text", s.text);
    ini.WriteInteger(section, "ListCount", static_cast<int>(s.list.size()));
    for (std::size_t i = 0; i < s.list.size(); ++i)
        ini.WriteString(section, fmt::format("List{}", i + 1), s.list[i]);
    ini.WriteString(section, "Face", FaceText(s.face));
}

void WriteControls(TIniFile& ini, const std::string& parent, const ControlList& list)
{
    int number = 0;
    for (const auto& control : list.items) {
        if (control->State().temporary) continue;
        const std::string section = fmt::format("{}.Control{}", parent, ++number);
        WriteControl(ini, section, control->State());
        if (control->Children()) WriteControls(ini, section, *control->Children());
    }
}

ControlState ReadControl(const TIniFile& ini, const std::string& section)
{
    ControlState s;
    s.type = ini.ReadInteger(section, "Type", msoControlButton);
    s.id = ini.ReadInteger(section, "Id", 1);
    s.tag = ini.ReadString(section, "Tag", "");
    s.caption = ini.ReadString(section, "Caption", "");
    s.tooltipText = ini.ReadString(section, "TooltipText", "");
    s.parameter = ini.ReadString(section, "Parameter", "");
    s.visible = ini.ReadBool(section, "Visible", true);
    s.enabled = ini.ReadBool(section, "Enabled", true);
    s.style = ini.ReadInteger(section, "Style", 0);
    s.text = ini.ReadString(section, "Text", "");
    const int count = ini.ReadInteger(section, "ListCount", 0);
    for (int i = 1; i <= count; ++i) s.list.push_back(ini.ReadString(section, fmt::format("List{}", i), ""));
    s.face = ParseFace(ini.ReadString(section, "Face", ""));
    return s;
}

void ReadControls(const TIniFile& ini, const std::string& parent, const ControlListPtr& list)
{
    for (int number = 1;; ++number) {
        const std::string section = fmt::format("{}.Control{}", parent, number);
        if (!ini.SectionExists(section)) return;
        const auto control = AddControl(list, ReadControl(ini, section), std::nullopt);
        if (control->Children()) ReadControls(ini, section, control->Children());
    }
}

void ReadBars(const TIniFile& ini, const std::shared_ptr<BarsContext>& context)
{
    for (int number = 1;; ++number) {
        const std::string section = fmt::format("Bar{}", number);
        if (!ini.SectionExists(section)) return;
        const std::string name = ini.ReadString(section, "Name", "");
        if (name.empty()) throw Exception(section + " has no name");
        auto bar = MakeCom<BarObject>(name, ini.ReadInteger(section, "Position", msoBarTop), false, context);
        bar->SetNameLocal(ini.ReadString(section, "NameLocal", name));
        bar->SetVisible(ini.ReadBool(section, "Visible", false));
        context->bars.push_back(bar);
        ReadControls(ini, section, bar->ControlItems());
    }
}

}  // namespace

void SaveCommandBars(const BarsContext& context, const std::filesystem::path& file)
{
    // Written whole under a name of its own, then renamed over the file at once.
    const std::filesystem::path fresh = file.string() + ".new";
    std::error_code ec;
    std::filesystem::remove(fresh, ec);
    {
        TIniFile ini(fresh);
        TIniFileUpdate update(ini);
        int number = 0;
        for (const auto& bar : context.bars) {
            if (bar->Temporary()) continue;
            const std::string section = fmt::format("Bar{}", ++number);
            ini.WriteString(section, "Name", bar->Name());
            ini.WriteString(section, "NameLocal", bar->NameLocal());
            ini.WriteInteger(section, "Position", bar->Position());
            ini.WriteBool(section, "Visible", bar->Visible());
            WriteControls(ini, section, *bar->ControlItems());
        }
        ini.WriteInteger("CommandBars", "Count", number);
        update.Commit();
    }
    std::filesystem::rename(fresh, file, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(fresh, ignored);
        throw EOSError(ec.value(), file.string());
    }
}

}  // namespace office::impl

namespace office {

ComPtr<_CommandBars> LoadCommandBars(const std::filesystem::path& file)
{
    auto context = std::make_shared<impl::BarsContext>();
    if (std::filesystem::exists(file)) {
        try {
            const TIniFile ini(file);
            impl::ReadBars(ini, context);
        } catch (const std::exception& e) {
            throw Exception("The command bars file \"" + file.string() + "\" cannot be read: " + e.what());
        }
    }
    return impl::MakeCommandBars(std::move(context));
}

}  // namespace office
