#include "addin/QEL_OptionPageControl.h"

#include <QLayout>

#include "addin/AddInResources.h"

TQEL_OptionPageControl::TQEL_OptionPageControl() : form_((PinAddInLibrary(), new TQEL_OptionPage)) {}

TQEL_OptionPageControl::~TQEL_OptionPageControl()
{
    Close();
}

HRESULT TQEL_OptionPageControl::GetTypeInfoCount(std::uint32_t* count)
{
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT TQEL_OptionPageControl::GetIDsOfNames(const IID&, const std::string* names, std::uint32_t count,
                                              std::uint32_t, DISPID* ids)
{
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (std::uint32_t i = 0; i < count; ++i)
        if (FAILED(TActiveFormProperties::IdOfName(names[i], ids[i]))) hr = DISP_E_UNKNOWNNAME;
    return hr;
}

HRESULT TQEL_OptionPageControl::Invoke(DISPID member, const IID&, std::uint32_t, std::uint16_t flags,
                                       DISPPARAMS* params, Variant* result, EXCEPINFO*, std::uint32_t*)
{
    return properties_.Invoke(form_, member, flags, params, result);
}

HRESULT TQEL_OptionPageControl::GetPageInfo(std::string* helpFile, std::int32_t* helpContext)
{
    return form_ ? form_->GetPageInfo(helpFile, helpContext) : E_UNEXPECTED;
}

HRESULT TQEL_OptionPageControl::Dirty(std::int16_t* dirty)
{
    return form_ ? form_->Dirty(dirty) : E_UNEXPECTED;
}

HRESULT TQEL_OptionPageControl::Apply()
{
    return form_ ? form_->Apply() : E_UNEXPECTED;
}

HRESULT TQEL_OptionPageControl::SetClientSite(ui::IOleClientSite* site)
{
    site_ = ComPtr<ui::IOleClientSite>::Retain(site);
    if (form_) form_->SetControlClientSite(site_);
    return S_OK;
}

HRESULT TQEL_OptionPageControl::GetClientSite(ui::IOleClientSite** site)
{
    if (!site) return E_POINTER;
    *site = ComPtr<ui::IOleClientSite>(site_).Detach();
    return *site ? S_OK : S_FALSE;
}

HRESULT TQEL_OptionPageControl::DoVerbShow(QWidget* parent)
{
    if (!form_ || !parent) return E_UNEXPECTED;
    form_->setParent(parent);
    if (QLayout* layout = parent->layout())
        layout->addWidget(form_);
    else
        form_->setGeometry(parent->rect());
    form_->show();
    return S_OK;
}

HRESULT TQEL_OptionPageControl::Close()
{
    delete form_.data();  // the container may have destroyed it already
    site_.Reset();
    return S_OK;
}

ServerClass OptionPageClass()
{
    return {typelib::CLASS_QEL_OptionPage, typelib::kOptionPageProgID, "QEL_OptionPage Control",
            [](ServerModule& m) -> ComPtr<IUnknown> { return m.MakeUnknown<TQEL_OptionPageControl>(); }};
}
