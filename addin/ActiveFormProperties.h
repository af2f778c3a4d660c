#pragma once
// The standard properties of an active form, as its dual interface offers them late-bound:
// each reads or writes the form's own property of the same name (Booleans as automation
// Booleans). Properties that a Qt form has no counterpart for keep the value last written.

#include <array>
#include <string_view>

#include "platform/com/Dispatch.h"

class QWidget;

class TActiveFormProperties {
public:
    /// The property names in the order of the interface; DISPID = position + 1.
    static constexpr std::array<std::string_view, 17> kNames = {
        "Visible", "AutoScroll", "AutoSize",      "AxBorderStyle",  "Caption",
        "Color",   "KeyPreview", "PixelsPerInch", "PrintScale",     "Scaled",
        "Active",  "DropTarget", "HelpFile",      "DoubleBuffered", "VisibleDockClientCount",
        "Enabled", "Cursor"};

    TActiveFormProperties();

    /// DISP_E_UNKNOWNNAME for a name that is none of the properties (compared ignoring case).
    static HRESULT IdOfName(std::string_view name, DISPID& id);
    /// A property get or put on `form` (none when its window is gone).
    HRESULT Invoke(QWidget* form, DISPID id, std::uint16_t flags, DISPPARAMS* params, Variant* result);

private:
    Variant Get(QWidget* form, std::size_t index) const;
    void Put(QWidget* form, std::size_t index, const Variant& value);

    std::array<Variant, kNames.size()> stored_;
};
