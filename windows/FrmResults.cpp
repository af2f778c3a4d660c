#include "windows/FrmResults.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>

#include "platform/ui/UserInterface.h"

namespace {

constexpr const char* kProductName = "Trovanta";
constexpr int kResultsHeight = 145;

/// The lines of a list as a memo shows them.
QString MemoText(const TStringList& Lines)
{
    QStringList lines;
    for (const std::string& line : Lines) lines << QString::fromStdString(line);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

TFormResults::TFormResults(QWidget* Owner) : QDialog(Owner), FErrorLines(std::make_unique<TStringList>())
{
    setObjectName(QStringLiteral("FormResults"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    CreateControls();
    resize(460, 393);
}

TFormResults::~TFormResults() = default;

QGroupBox* TFormResults::NewMemoGroup(const char* Caption, const char* GroupName, QPlainTextEdit*& Memo,
                                      const char* MemoName)
{
    auto* group = new QGroupBox(QString::fromUtf8(Caption));
    group->setObjectName(QString::fromUtf8(GroupName));
    auto* layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 8, 8, 8);
    Memo = new QPlainTextEdit(group);
    Memo->setObjectName(QString::fromUtf8(MemoName));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Memo);
    return group;
}

void TFormResults::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PanelClient = new QWidget(this);
    PanelClient->setObjectName(QStringLiteral("PanelClient"));
    auto* clientLayout = new QVBoxLayout(PanelClient);
    clientLayout->setContentsMargins(8, 8, 8, 8);
    Splitter = new QSplitter(Qt::Vertical, PanelClient);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(3);
    Splitter->setChildrenCollapsible(false);
    GroupBox1 = NewMemoGroup(" Results ", "GroupBox1", MemoResults, "MemoResults");
    GroupBox2 = NewMemoGroup(" The following errors occured while processing the e-mails ", "GroupBox2",
                             MemoMailErrors, "MemoMailErrors");
    Splitter->addWidget(GroupBox1);
    Splitter->addWidget(GroupBox2);
    // The results box keeps its height when the window grows; the error box takes the rest.
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({kResultsHeight, 393 - kResultsHeight});
    clientLayout->addWidget(Splitter);
    layout->addWidget(PanelClient, 1);

    PanelBottom = new QWidget(this);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));
    PanelBottom->setFixedHeight(41);
    auto* bottomLayout = new QHBoxLayout(PanelBottom);
    bottomLayout->setContentsMargins(8, 8, 8, 8);
    bottomLayout->addStretch(1);
    ButtonClose = new QPushButton(QStringLiteral("Close"), PanelBottom);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setDefault(true);
    bottomLayout->addWidget(ButtonClose);
    layout->addWidget(PanelBottom);
    connect(ButtonClose, &QPushButton::clicked, this, [this] { done(1); });
}

void TFormResults::Execute()
{
    setWindowTitle(QString::fromUtf8(kProductName));
    TStringList summaryLines;
    summaryLines.SetText(Summary);
    MemoResults->setPlainText(MemoText(summaryLines));
    MemoMailErrors->setPlainText(MemoText(*FErrorLines));
    if (FErrorLines->Empty()) {
        // Hiding the second box hides the splitter's handle; the results fill the window.
        GroupBox2->hide();
    }
    if (!FErrorLines->Empty() || !Summary.empty()) exec();
}

void ShowResults(QWidget* Owner, const std::string& Summary, const TStringList& ErrorLines)
{
    if (ErrorLines.Empty()) {
        ui::ShowMessage(Owner, Summary, kProductName, ui::MsgIcon::Information);
        return;
    }
    TFormResults results(Owner);
    results.Summary = Summary;
    results.ErrorLines() = ErrorLines;
    results.Execute();
}
