#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <memory>
#include <stdexcept>

#include "platform/ui/ApplicationObject.h"
#include "platform/ui/QtUserInterface.h"
#include "tests/support/ui/ScriptedUserInterface.h"

namespace ui {
namespace {

TEST(ApplicationHandleGuard, OwnsBoxesWhileItLivesAndLetsGoAlsoOnFailure)
{
    QWidget page;
    const ScopedScriptedUi scripted;
    try {
        const ApplicationHandleGuard guard(&page);
        EXPECT_EQ(Application().Handle(), &page);
        ShowMessage(nullptr, "inside", "Trovanta", MsgIcon::Error);
        throw std::runtime_error("handler failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Application().Handle(), nullptr);
    ShowMessage(nullptr, "outside", "Trovanta", MsgIcon::Error);

    ASSERT_EQ(scripted->Messages.size(), 2u);
    EXPECT_EQ(scripted->Messages[0].Owner, &page);
    EXPECT_EQ(scripted->Messages[1].Owner, nullptr);
}

TEST(ApplicationHandleGuard, AWindowThatIsDestroyedLeavesNoDanglingHandle)
{
    auto window = std::make_unique<QWidget>();
    Application().SetHandle(window.get());
    window.reset();
    EXPECT_EQ(Application().Handle(), nullptr);
}

TEST(ApplicationHandleGuard, QtMessageBoxesAreOwnedByTheHandle)
{
    QWidget page;
    const ApplicationHandleGuard guard(&page);
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&owner] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        owner = box->parentWidget();
        box->accept();
    });
    QtUserInterface qt;
    qt.MessageBox(nullptr, "owned", "Trovanta", MsgIcon::Information, mbOK);
    EXPECT_EQ(owner, &page);
}

}  // namespace
}  // namespace ui
