#include "windows/FrmEditMe.h"

#include <algorithm>

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "jobs/Options.h"
#include "platform/runtime/Exception.h"
#include "platform/runtime/Registry.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Text.h"
#include "windows/ControlTools.h"
#include "windows/SlotGuard.h"

using namespace controls;

namespace {

constexpr const char* kAccountsKey = "\\Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";
constexpr const char* kAddressValue = "SMTP Email Address";

/// The text above the masks, followed by three example masks.
constexpr const char* kInfoText =
    "If you use one or more of the placeholders [ME], [MN], [NE] and [NN], then you should here enter *your* "
    "e-mail addresses. The program then can determine whether *you* are the e-mail's sender or not.\r\n\r\n"
    "Enter each name or e-mail address in a separate line. \r\n\r\n"
    "You can use the wildcards * and ? to form your expressions.\r\n\r\n"
    "Examples:"
    "\r\n*@my-company.com\r\n*@my-provider.net\r\njohn.smith@*";

/// The account's address, trimmed and in lower case; "" when it has none or cannot be read.
std::string AccountAddress(TRegistry& reg, const std::string& account)
{
    try {
        if (!reg.OpenKeyReadOnly(std::string(kAccountsKey) + "\\" + account)) return {};
        const std::string address = Trim(reg.ReadString(kAddressValue));
        reg.CloseKey();
        return LowerCase(address);
    } catch (const ERegistryException&) {
        // An account whose address is no text is skipped like one that cannot be opened.
        reg.CloseKey();
        return {};
    }
}

}  // namespace

std::vector<std::string> ReadAccountAddresses()
{
    TStringList addresses;
    addresses.SetSorted(true);
    addresses.SetDuplicates(TDuplicates::dupIgnore);
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    std::vector<std::string> accounts;
    if (reg.OpenKeyReadOnly(kAccountsKey)) {
        accounts = reg.GetKeyNames();
        reg.CloseKey();
    }
    for (const std::string& account : accounts) {
        const std::string address = AccountAddress(reg, account);
        if (!address.empty()) addresses.Add(address);
    }
    return {addresses.begin(), addresses.end()};
}

TFormEditMe::TFormEditMe(QWidget* parent) : TEditorDialog(parent)
{
    setObjectName(QStringLiteral("FormEditMe"));
    setWindowTitle(QStringLiteral("My e-mail addresses"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    resize(520, 560);
}

void TFormEditMe::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* infoRow = new QHBoxLayout;
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("ImageInfo"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    picture->setAlignment(Qt::AlignTop);
    MemoInfo = new QPlainTextEdit(this);
    MemoInfo->setObjectName(QStringLiteral("MemoInfo"));
    MemoInfo->setReadOnly(true);
    MemoInfo->setFrameShape(QFrame::NoFrame);
    MemoInfo->setFocusPolicy(Qt::NoFocus);
    MemoInfo->setBackgroundVisible(false);
    QPalette palette = MemoInfo->palette();
    palette.setColor(QPalette::Base, this->palette().color(QPalette::Window));
    MemoInfo->setPalette(palette);
    MemoInfo->setMinimumHeight(MemoInfo->fontMetrics().lineSpacing() * 14);
    infoRow->addWidget(picture);
    infoRow->addWidget(MemoInfo, 1);
    layout->addLayout(infoRow, 0);
    QGroupBox* group = NewGroup(this, " Masks for \"My e-mail addresses\" ", "GroupMasks");
    auto* groupLayout = new QVBoxLayout(group);
    MemoNames = new QPlainTextEdit(group);
    MemoNames->setObjectName(QStringLiteral("MemoNames"));
    MemoNames->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoNames->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoNames->setTabChangesFocus(true);
    groupLayout->addWidget(MemoNames);
    layout->addWidget(group, 1);
    ButtonReadAccounts = new QPushButton(QStringLiteral("Read from accounts"), this);
    ButtonReadAccounts->setObjectName(QStringLiteral("ButtonReadAccounts"));
    ButtonReadAccounts->setAutoDefault(false);
    connect(ButtonReadAccounts, &QPushButton::clicked, this,
            [this] { Guarded(this, [this] { ButtonReadAccountsClick(); }); });
    AddBottomRow(layout, {TBottomButton::OK, TBottomButton::Cancel, TBottomButton::Help}, ButtonReadAccounts);
}

void TFormEditMe::Execute()
{
    MemoInfo->setPlainText(
        QString::fromUtf8(kInfoText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    TMeOptions stored;
    try {
        stored.LoadFromRegistry(RegKeyMe);
    } catch (const std::exception&) {
        stored.Clear();
    }
    ListToMemo(stored.Values(), MemoNames);
    ShowModalOK();
}

void TFormEditMe::ButtonOKClick()
{
    TMeOptions edited;
    MemoToList(MemoNames, edited.Values());
    edited.SaveToRegistry(RegKeyMe);
    CloseWithOK();
}

void TFormEditMe::ButtonReadAccountsClick()
{
    TStringList lines;
    MemoToList(MemoNames, lines);
    bool added = false;
    for (const std::string& address : ReadAccountAddresses()) {
        const bool known = std::any_of(lines.begin(), lines.end(),
                                       [&](const std::string& line) { return SameText(line, address); });
        if (known) continue;
        lines.Add(address);
        added = true;
    }
    if (added) ListToMemo(lines, MemoNames);
}

void EditMyAddresses(QWidget* Owner)
{
    TFormEditMe form(Owner);
    form.Execute();
}
