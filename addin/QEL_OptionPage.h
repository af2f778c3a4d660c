#pragma once
// The rules page of the mail client's options dialog: processing of incoming e-mails on or
// off, and the ordered list of rules (add, edit, remove, move up and down). The page works
// on its own copy of the rules, loaded when it is created, and writes them to the registry
// only when the dialog applies its pages. It tells the dialog about its first change after
// each apply through the dialog's page site.

#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

#include "jobs/Options.h"
#include "platform/outlook/PropertyPage.h"
#include "platform/ui/EmbeddedControl.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TLinkLabel;
namespace themes {
class TThemeManager;
}

class TQEL_OptionPage final : public QWidget {
    Q_OBJECT
public:
    /// Loads the rules from the registry (unreadable rules give processing off and an empty
    /// list) and fills the page; filling does not make it dirty.
    explicit TQEL_OptionPage(QWidget* parent = nullptr);
    ~TQEL_OptionPage() override;

    // PropertyPage, as the control passes the dialog's calls on.
    HRESULT GetPageInfo(std::string* HelpFile, std::int32_t* HelpContext) noexcept;
    HRESULT Dirty(std::int16_t* Value) const noexcept;
    /// Saves the rules to the registry, or refuses (E_UNEXPECTED) processing switched on
    /// without any rule, and any failure of saving; a refused page stays dirty.
    HRESULT Apply() noexcept;

    /// The OLE client site the page's control was given (none to take it away).
    void SetControlClientSite(ComPtr<ui::IOleClientSite> Site);

    const TAutoOptions& Options() const { return *FOptions; }

    /// The page's design size, wider when the titles need more room in the font at hand.
    QSize sizeHint() const override;

private:
    void BuildForm();
    QWidget* BuildPanelTop();
    QWidget* BuildPanelClient();
    QWidget* BuildPanelBottom(QWidget* parent);
    void ConnectHandlers();
    void ActiveFormCreate();

    // Handlers of the form's events.
    void PanelTopResize();
    void CheckActiveClick();
    void ButtonAddClick();
    void ButtonEditClick();
    void ButtonDeleteClick();
    void ButtonUpClick();
    void ButtonDownClick();
    void ListViewSelectItem();
    void LabelInfoClick();
    void LabelHelpClick();

    void GetPageSite();
    void MarkDirty();
    void FillListItem(QTreeWidgetItem& Item, const TJobOptions& Job) const;
    void UpdateButtons();
    /// The index of the selected row; -1 when none.
    int SelectedIndex() const;
    void MoveSelected(int Delta);
    void ShowRow(int Index);

    // Fields, in the order of the design.
    std::int16_t DirtyFlag = outlook::VARIANT_FALSE;
    ComPtr<outlook::IPropertyPageSite> PageSite;
    std::unique_ptr<TAutoOptions> FOptions;
    ComPtr<ui::IOleClientSite> ControlClientSite;

    // Controls.
    QWidget* PanelTop = nullptr;
    QLabel* LabelTitel1 = nullptr;
    QLabel* LabelTitel2 = nullptr;
    QFrame* Bevel1 = nullptr;
    TLinkLabel* LabelInfo = nullptr;
    TLinkLabel* LabelHelp = nullptr;
    QLabel* Image = nullptr;
    QFrame* Bevel2 = nullptr;
    QCheckBox* CheckActive = nullptr;
    QLabel* Label3 = nullptr;
    QTreeWidget* ListView = nullptr;
    QPushButton* ButtonAdd = nullptr;
    QPushButton* ButtonEdit = nullptr;
    QPushButton* ButtonDelete = nullptr;
    QPushButton* ButtonUp = nullptr;
    QPushButton* ButtonDown = nullptr;
    themes::TThemeManager* ThemeManager = nullptr;
};
