#include <gtest/gtest.h>

#include "platform/com/ComError.h"
#include "platform/office/COMAddInsImpl.h"
#include "platform/office/CommandBarsImpl.h"
#include "platform/office/OutlookHost.h"

namespace {

using namespace office;

/// The object model as far as these tests reach it: each call is counted.
class CountingModel final : public ComObject<outlook::IOutlookApplication> {
public:
    ComPtr<outlook::INameSpace> GetNamespace(const std::string&) override { return ++calls, nullptr; }
    ComPtr<outlook::IExplorer> ActiveExplorer() override { return ++calls, nullptr; }
    ComPtr<outlook::IExplorers> Explorers() override { return ++calls, nullptr; }
    ComPtr<outlook::IOutlookItem> CreateItemFromTemplate(const std::string&) override
    {
        return ++calls, nullptr;
    }
    std::uint32_t AdviseEvents(const ComPtr<outlook::IApplicationEvents>&) override { return ++calls, 7u; }
    void UnadviseEvents(std::uint32_t) override { ++calls; }
    int calls = 0;
};

TEST(COMAddIns, EntriesAreAddedOnceAndRemovedByProgID)
{
    const auto list = CreateCOMAddIns();
    const auto host = list.As<ICOMAddInsHost>();
    const auto entry = host->Add("QELaddin.Trovanta", "Trovanta", "{7AF0C65C-3F6D-455B-99C3-FF9B146A6898}");
    EXPECT_EQ(host->Add("qeladdin.trovanta", "other", "").Get(), entry.Get());
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Item(1)->ProgID(), "QELaddin.Trovanta");
    EXPECT_FALSE(entry->Connect());
    entry->SetConnect(true);
    EXPECT_TRUE(list->Item(1)->Connect());
    EXPECT_THROW(list->Item(2), ComError);
    EXPECT_TRUE(host->Remove("QELADDIN.TROVANTA"));
    EXPECT_FALSE(host->Remove("QELaddin.Trovanta"));
    EXPECT_EQ(list->Count(), 0);
}

TEST(OutlookHost, WindowsCarryTheirCommandBarsAndTheLastOpenedIsActive)
{
    const auto model = MakeCom<CountingModel>();
    int quits = 0;
    const auto app = CreateOutlookHostApplication(model, nullptr, [&] { ++quits; });
    const auto windows = app.As<IOutlookHostWindows>();
    EXPECT_EQ(app->ExplorerWindows()->Count(), 0);
    EXPECT_FALSE(app->ActiveWindow());
    EXPECT_THROW(app->CommandBars(), ComError) << "Outlook's command bars belong to its windows";

    const auto explorerBars = CreateCommandBars();
    const auto explorer = windows->OpenExplorer(explorerBars);
    const auto inspector = windows->OpenInspector(CreateCommandBars());
    EXPECT_EQ(app->ExplorerWindows()->Count(), 1);
    EXPECT_EQ(app->InspectorWindows()->Count(), 1);
    EXPECT_EQ(app->ActiveWindow().Get(), inspector.Get());
    EXPECT_EQ(app->ActiveExplorerWindow()->CommandBars().Get(), explorerBars.Get());
    windows->Activate(explorer);
    EXPECT_EQ(app->ActiveWindow().Get(), explorer.Get());
    windows->Close(explorer);
    EXPECT_EQ(app->ActiveWindow().Get(), inspector.Get());
    EXPECT_FALSE(app->ActiveExplorerWindow());
    windows->Close(explorer);  // not open any more: ignored
    EXPECT_EQ(app->InspectorWindows()->Count(), 1);

    app->Quit();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(app->COMAddIns()->Count(), 0) << "a list of its own when none is given";
}

TEST(OutlookHost, TheObjectModelIsReachedThroughTheSameObject)
{
    const auto model = MakeCom<CountingModel>();
    const auto app = CreateOutlookHostApplication(model);
    const auto asModel = app.As<outlook::IOutlookApplication>();
    ASSERT_TRUE(asModel);
    EXPECT_TRUE(app.As<IDispatch>());
    EXPECT_TRUE(app.As<IOfficeApplication>());
    asModel->Explorers();
    EXPECT_EQ(asModel->AdviseEvents(nullptr), 7u);
    EXPECT_EQ(model->calls, 2);
    EXPECT_THROW(CreateOutlookHostApplication(nullptr), ComError);
}

}  // namespace
