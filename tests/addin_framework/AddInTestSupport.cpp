#include "tests/addin_framework/AddInTestSupport.h"

#include <algorithm>

#include "platform/com/ClassRegistry.h"
#include "platform/runtime/Registry.h"

namespace test {

std::uint32_t StubOutlookModel::AdviseEvents(const ComPtr<outlook::IApplicationEvents>& sink)
{
    sinks_.emplace_back(next_, sink);
    return next_++;
}

void StubOutlookModel::UnadviseEvents(std::uint32_t cookie)
{
    std::erase_if(sinks_, [&](const auto& entry) { return entry.first == cookie; });
}

bool StubOutlookModel::RaiseItemSend()
{
    bool cancel = false;
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) sink->ItemSend(nullptr, cancel);
    return cancel;
}

ScriptedOutlookHost::ScriptedOutlookHost()
    : model_(MakeCom<StubOutlookModel>()),
      addIns_(office::CreateCOMAddIns()),
      app_(office::CreateOutlookHostApplication(model_, addIns_, [this] { ++quits_; }))
{
}

ComPtr<office::_CommandBars> ScriptedOutlookHost::OpenExplorer()
{
    auto bars = office::CreateCommandBars();
    windows_.push_back(app_.As<office::IOutlookHostWindows>()->OpenExplorer(bars));
    return bars;
}

void ScriptedOutlookHost::CloseWindows()
{
    const auto host = app_.As<office::IOutlookHostWindows>();
    for (const auto& window : windows_) host->Close(window);
    windows_.clear();
}

ComPtr<office::COMAddIn> ScriptedOutlookHost::List(const std::string& progID)
{
    return addIns_.As<office::ICOMAddInsHost>()->Add(progID, "", kTestAddInClsid.ToString());
}

void ScriptedOutlookHost::Unlist(const std::string& progID)
{
    addIns_.As<office::ICOMAddInsHost>()->Remove(progID);
}

void RecordingUserInterface::ShowError(const std::string& Text, const std::string& Caption)
{
    Errors.push_back({Text, Caption});
}

TaxpModalResult RecordingUserInterface::AskCancelRetryIgnore(const std::string& Text,
                                                             const std::string& Caption)
{
    Questions.push_back({Text, Caption});
    if (Answers.empty()) return mrIgnore;
    const TaxpModalResult answer = Answers.front();
    Answers.erase(Answers.begin());
    return answer;
}

AddInFixture::AddInFixture()
    : factory_(server_, AddInClassOf<TTestAddIn>("TestAddIn"), kTestAddInClsid, MakeHostSet({hiOutlook}),
               kTestFriendlyName, "A test add-in", 3, false, false)
{
    auto ui = std::make_unique<RecordingUserInterface>();
    ui_ = ui.get();
    previousUi_ = SetAddInUserInterface(std::move(ui));
}

AddInFixture::~AddInFixture()
{
    SetAddInUserInterface(std::move(previousUi_));
}

void AddInFixture::TearDown()
{
    for (const auto& error : ui_->Errors) ADD_FAILURE() << "unexpected error shown: " << error.Text;
}

void AddInFixture::InstallOutlook()
{
    RegisterInprocServer(MakeGuid("{6A1C0341-7E3B-4C55-9A0E-0B4D2F6E1341}"), "Outlook.Application",
                         "An Outlook that cannot be started", "/nonexistent/libnooutlook.so");
}

ComPtr<TTestAddIn> AddInFixture::NewAddIn()
{
    const auto addIn = factory_.CreateAddIn(server_.Module());
    return ComPtr<TTestAddIn>::Retain(static_cast<TTestAddIn*>(addIn.Get()));
}

std::vector<std::string> AddInFixture::TakeErrors()
{
    std::vector<std::string> texts;
    for (const auto& error : ui_->Errors) texts.push_back(error.Text);
    ui_->Errors.clear();
    return texts;
}

std::string AddInFixture::AddInValue(const std::string& name)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.OpenKeyReadOnly(kOutlookAddInKey) ? reg.ReadString(name) : std::string();
}

int AddInFixture::AddInInteger(const std::string& name)
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(kOutlookAddInKey) || reg.GetDataType(name) != TRegDataType::rdInteger) return -1;
    return reg.ReadInteger(name);
}

bool AddInFixture::AddInKeyExists()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.KeyExists(kOutlookAddInKey);
}

namespace {

void Describe(const std::string& bar, const ComPtr<office::CommandBarControls>& controls,
              std::vector<std::string>& lines)
{
    for (int i = 1; i <= controls->Count(); ++i) {
        const auto control = controls->Item(i);
        lines.push_back(bar + "/" + control->Tag() + " visible=" + (control->Visible() ? "1" : "0") +
                        " parameter=" + control->Parameter());
        if (const auto popup = control.As<office::CommandBarPopup>()) Describe(bar, popup->Controls(), lines);
    }
}

}  // namespace

std::vector<std::string> DescribeControls(const ComPtr<office::_CommandBars>& bars)
{
    std::vector<std::string> lines;
    for (int i = 1; i <= bars->Count(); ++i) {
        const auto bar = bars->Item(i);
        lines.push_back(bar->Name() + (bar->Visible() ? " shown" : " hidden"));
        Describe(bar->Name(), bar->Controls(), lines);
    }
    return lines;
}

}  // namespace test
