#pragma once
// The mail client's options dialog: its own "Mail" page and the pages that add-ins offer
// when the dialog is built (the options-pages event). OK and Apply apply every page that
// holds changes; a page that refuses keeps the dialog open on that page.

#include <QDialog>

#include <string>
#include <vector>

#include "platform/host/PageObjects.h"
#include "platform/outlook/Application.h"

class QDialogButtonBox;
class QLabel;
class QTabWidget;

namespace host {

class OptionsDialog final : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(outlook::IOutlookApplication& application, outlook::IApplicationHost& host,
                  QWidget* parent = nullptr);
    ~OptionsDialog() override;

    /// Applies every page that holds changes, in tab order; false when one refused (that
    /// page is then the current tab).
    bool ApplyPages();
    /// What went wrong while the add-ins offered their pages.
    const std::vector<std::string>& Problems() const { return problems_; }

    void accept() override;

private:
    struct EmbeddedPage {
        ComPtr<outlook::IPropertyPage> page;
        ComPtr<ui::IOleObject> control;
        ComPtr<PageSite> site;
        QWidget* tab = nullptr;
    };

    QWidget* MakeMailPage(outlook::IOutlookApplication& application);
    void CollectAddInPages(outlook::IApplicationHost& host);
    void Embed(const OfferedPage& offered);
    void PageStatusChanged();
    bool PageIsDirty(const EmbeddedPage& page) const;
    void ShowProblems();

    QTabWidget* tabs_;
    QDialogButtonBox* buttons_;
    QLabel* problemLabel_;
    std::vector<EmbeddedPage> pages_;
    std::vector<std::string> problems_;
};

}  // namespace host
