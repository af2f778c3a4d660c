#include "addin/ActiveFormProperties.h"

#include <QWidget>

#include "addin/TypeLibrary.h"
#include "platform/com/ComError.h"
#include "platform/runtime/Text.h"

namespace {

enum Property : std::size_t {
    pVisible,
    pAutoScroll,
    pAutoSize,
    pAxBorderStyle,
    pCaption,
    pColor,
    pKeyPreview,
    pPixelsPerInch,
    pPrintScale,
    pScaled,
    pActive,
    pDropTarget,
    pHelpFile,
    pDoubleBuffered,
    pVisibleDockClientCount,
    pEnabled,
    pCursor
};

/// 0x00BBGGRR, as the form's colour property holds it.
std::int32_t ColorValue(const QColor& color)
{
    return static_cast<std::int32_t>((color.blue() << 16) | (color.green() << 8) | color.red());
}

}  // namespace

TActiveFormProperties::TActiveFormProperties()
{
    stored_[pAutoScroll] = Variant(false);
    stored_[pAutoSize] = Variant(false);
    stored_[pAxBorderStyle] = Variant(static_cast<std::int32_t>(typelib::afbNone));
    stored_[pKeyPreview] = Variant(false);
    stored_[pPrintScale] = Variant(static_cast<std::int32_t>(typelib::poProportional));
    stored_[pScaled] = Variant(true);
    stored_[pHelpFile] = Variant(std::string());
    stored_[pDoubleBuffered] = Variant(false);
}

HRESULT TActiveFormProperties::IdOfName(std::string_view name, DISPID& id)
{
    for (std::size_t i = 0; i < kNames.size(); ++i) {
        if (UpperCase(std::string(kNames[i])) == UpperCase(std::string(name))) {
            id = static_cast<DISPID>(i + 1);
            return S_OK;
        }
    }
    id = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT TActiveFormProperties::Invoke(QWidget* form, DISPID id, std::uint16_t flags, DISPPARAMS* params,
                                      Variant* result)
{
    if (id < 1 || id > static_cast<DISPID>(kNames.size())) return DISP_E_MEMBERNOTFOUND;
    if (!form) return E_UNEXPECTED;
    const auto index = static_cast<std::size_t>(id - 1);
    try {
        if (flags & DISPATCH_PROPERTYPUT) {
            const Variant* value = ArgAt(params, 0);
            if (!value) return DISP_E_BADPARAMCOUNT;
            Put(form, index, *value);
            return S_OK;
        }
        if (result) *result = Get(form, index);
        return S_OK;
    } catch (const ComError& e) {
        return e.Code();
    }
}

Variant TActiveFormProperties::Get(QWidget* form, std::size_t index) const
{
    switch (index) {
        case pVisible:
            return Variant(form->isVisible());
        case pCaption:
            return Variant(form->windowTitle().toStdString());
        case pColor:
            return Variant(ColorValue(form->palette().color(QPalette::Window)));
        case pPixelsPerInch:
            return Variant(static_cast<std::int32_t>(form->logicalDpiY()));
        case pActive:
            return Variant(form->isActiveWindow());
        case pDropTarget:
            return Variant(form->acceptDrops());
        case pVisibleDockClientCount:
            return Variant(static_cast<std::int32_t>(0));
        case pEnabled:
            return Variant(form->isEnabled());
        case pCursor:
            return Variant(static_cast<std::int32_t>(form->cursor().shape()));
        default:
            return stored_[index];
    }
}

void TActiveFormProperties::Put(QWidget* form, std::size_t index, const Variant& value)
{
    switch (index) {
        case pVisible:
            form->setVisible(value.ToBool());
            break;
        case pCaption:
            form->setWindowTitle(QString::fromStdString(value.ToString()));
            break;
        case pDropTarget:
            form->setAcceptDrops(value.ToBool());
            break;
        case pEnabled:
            form->setEnabled(value.ToBool());
            break;
        case pCursor:
            form->setCursor(QCursor(static_cast<Qt::CursorShape>(value.ToInt())));
            break;
        case pColor: {
            const std::int32_t bgr = value.ToInt();
            QPalette palette = form->palette();
            palette.setColor(QPalette::Window, QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
            form->setPalette(palette);
            break;
        }
        case pPixelsPerInch:
        case pActive:
        case pVisibleDockClientCount:
            throw ComError(DISP_E_MEMBERNOTFOUND, "The property is read-only.");
        default:
            stored_[index] = value;
            break;
    }
}
