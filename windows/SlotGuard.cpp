#include "windows/SlotGuard.h"

#include "platform/runtime/Exception.h"
#include "platform/ui/UserInterface.h"

namespace {

constexpr const char* kProductName = "Trovanta";

void Show(QWidget* parent, const std::string& text)
{
    ui::ShowMessage(parent, text, kProductName, ui::MsgIcon::Error);
}

}  // namespace

void ShowException(QWidget* Parent, const std::exception_ptr& Error) noexcept
{
    if (!Error) return;
    try {
        try {
            std::rethrow_exception(Error);
        } catch (const EAbort&) {
        } catch (const Exception& error) {
            Show(Parent, error.Message());
        } catch (const std::exception& error) {
            Show(Parent, error.what());
        } catch (...) {
            Show(Parent, "Unknown error.");
        }
    } catch (...) {
        // Showing the message failed as well; there is nobody left to tell.
    }
}
