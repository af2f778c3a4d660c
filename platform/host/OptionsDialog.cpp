#include "platform/host/OptionsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/com/ComError.h"

namespace host {

OptionsDialog::OptionsDialog(outlook::IOutlookApplication& application, outlook::IApplicationHost& host,
                             QWidget* parent)
    : QDialog(parent),
      tabs_(new QTabWidget(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply,
                                    this)),
      problemLabel_(new QLabel(this))
{
    setObjectName("OptionsDialog");
    setWindowTitle("Options");
    tabs_->setObjectName("Pages");
    problemLabel_->setObjectName("ProblemLabel");
    problemLabel_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(problemLabel_);
    layout->addWidget(buttons_);
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(false);
    connect(buttons_, &QDialogButtonBox::accepted, this, &OptionsDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &OptionsDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { ApplyPages(); });

    tabs_->addTab(MakeMailPage(application), "Mail");
    CollectAddInPages(host);
    ShowProblems();
}

OptionsDialog::~OptionsDialog()
{
    // The pages' windows go first, while the tabs that hold them still exist.
    for (EmbeddedPage& page : pages_) {
        page.site->Detach();
        if (page.control) {
            page.control->Close();
            page.control->SetClientSite(nullptr);
        }
    }
    pages_.clear();
}

QWidget* OptionsDialog::MakeMailPage(outlook::IOutlookApplication& application)
{
    auto* page = new QWidget(tabs_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Mail stores shown:", page));
    auto* stores = new QListWidget(page);
    stores->setObjectName("StoreList");
    try {
        const auto folders = application.GetNamespace("MAPI")->Folders();
        for (int i = 1, n = folders->Count(); i <= n; ++i)
            stores->addItem(QString::fromStdString(folders->Item(i)->Name()));
    } catch (const std::exception& e) {
        problems_.push_back(e.what());
    }
    layout->addWidget(stores);
    auto* hint = new QLabel(
        "The default store is $MAILDIR, else ~/Maildir. Further stores are configured in the registry under "
        "HKEY_CURRENT_USER\\Software\\VONT-Software\\Trovanta\\Stores.",
        page);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    return page;
}

void OptionsDialog::CollectAddInPages(outlook::IApplicationHost& host)
{
    const auto offered = MakeCom<PropertyPagesCollection>();
    try {
        host.RaiseOptionsPagesAdd(offered);
    } catch (const std::exception& e) {
        problems_.push_back(std::string("An add-in failed to offer its options page: ") + e.what());
    }
    for (const OfferedPage& page : offered->Pages()) {
        try {
            Embed(page);
        } catch (const std::exception& e) {
            problems_.push_back("The options page \"" + page.title + "\" cannot be shown: " + e.what());
        }
    }
}

void OptionsDialog::Embed(const OfferedPage& offered)
{
    EmbeddedPage page;
    page.page = offered.control.As<outlook::IPropertyPage>();
    page.control = offered.control.As<ui::IOleObject>();
    if (!page.control) throw ComError(E_NOINTERFACE, "The page has no window.");
    page.site = MakeCom<PageSite>([this] { PageStatusChanged(); });
    page.tab = new QWidget(tabs_);
    auto* layout = new QVBoxLayout(page.tab);
    layout->setContentsMargins(0, 0, 0, 0);
    OleCheck(page.control->SetClientSite(page.site.Get()));
    OleCheck(page.control->DoVerbShow(page.tab));
    // The dialog never shrinks a page below the size it asks for (a new window is otherwise
    // kept to two thirds of the screen).
    page.tab->setMinimumSize(page.tab->sizeHint());
    tabs_->addTab(page.tab, QString::fromStdString(offered.title));
    pages_.push_back(std::move(page));
}

bool OptionsDialog::PageIsDirty(const EmbeddedPage& page) const
{
    std::int16_t dirty = outlook::VARIANT_FALSE;
    return SUCCEEDED(page.page->Dirty(&dirty)) && dirty != outlook::VARIANT_FALSE;
}

void OptionsDialog::PageStatusChanged()
{
    bool anyDirty = false;
    for (const EmbeddedPage& page : pages_) anyDirty = anyDirty || PageIsDirty(page);
    buttons_->button(QDialogButtonBox::Apply)->setEnabled(anyDirty);
}

bool OptionsDialog::ApplyPages()
{
    for (const EmbeddedPage& page : pages_) {
        if (!PageIsDirty(page)) continue;
        if (FAILED(page.page->Apply())) {
            tabs_->setCurrentWidget(page.tab);
            PageStatusChanged();
            return false;
        }
    }
    PageStatusChanged();
    return true;
}

void OptionsDialog::accept()
{
    if (ApplyPages()) QDialog::accept();
}

void OptionsDialog::ShowProblems()
{
    std::string text;
    for (const std::string& problem : problems_) text += (text.empty() ? "" : "\n") + problem;
    problemLabel_->setText(QString::fromStdString(text));
    problemLabel_->setVisible(!text.empty());
}

}  // namespace host
