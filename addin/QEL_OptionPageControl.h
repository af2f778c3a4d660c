#pragma once
// The COM control that hosts the rules page: the object the options dialog creates by the
// page's ProgID. It creates the form with itself, embeds the form's window where the dialog
// asks, passes the dialog's page calls on to the form and answers the form's standard
// properties late-bound.

#include <QPointer>

#include "addin/ActiveFormProperties.h"
#include "addin/QEL_OptionPage.h"
#include "addin/TypeLibrary.h"
#include "platform/com/ServerModule.h"

class TQEL_OptionPageControl
    : public ComObject<typelib::IQEL_OptionPage, outlook::IPropertyPage, ui::IOleObject> {
public:
    TQEL_OptionPageControl();
    ~TQEL_OptionPageControl() override;

    // IDispatch (IQEL_OptionPage).
    HRESULT GetTypeInfoCount(std::uint32_t* count) override;
    HRESULT GetIDsOfNames(const IID& riid, const std::string* names, std::uint32_t count, std::uint32_t lcid,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID member, const IID& riid, std::uint32_t lcid, std::uint16_t flags,
                   DISPPARAMS* params, Variant* result, EXCEPINFO* excepInfo, std::uint32_t* argErr) override;

    // PropertyPage.
    HRESULT GetPageInfo(std::string* helpFile, std::int32_t* helpContext) override;
    HRESULT Dirty(std::int16_t* dirty) override;
    HRESULT Apply() override;

    // IOleObject.
    HRESULT SetClientSite(ui::IOleClientSite* site) override;
    HRESULT GetClientSite(ui::IOleClientSite** site) override;
    HRESULT DoVerbShow(QWidget* parent) override;
    HRESULT Close() override;

    /// The hosted form; nullptr once its window is gone.
    TQEL_OptionPage* Form() const { return form_; }

private:
    QPointer<TQEL_OptionPage> form_;
    ComPtr<ui::IOleClientSite> site_;
    TActiveFormProperties properties_;
};

/// The rules page's class as the library's COM server offers it.
ServerClass OptionPageClass();
