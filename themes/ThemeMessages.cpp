#include "themes/ThemeMessages.h"

namespace themes {

namespace {

// Message numbers go up to 0xBD38; with QEvent::User (1000) added they stay below QEvent::MaxUser.
constexpr unsigned kHighestMessage = 0xBFFF;

}  // namespace

MessageEvent::MessageEvent(const TMessage& message) : QEvent(MessageEventType(message.Msg)), Message(message)
{
}

QEvent::Type MessageEventType(unsigned message)
{
    return static_cast<QEvent::Type>(QEvent::User + static_cast<int>(message));
}

std::optional<unsigned> MessageOfEventType(QEvent::Type type)
{
    const int offset = static_cast<int>(type) - static_cast<int>(QEvent::User);
    if (offset < 0 || offset > static_cast<int>(kHighestMessage)) return std::nullopt;
    return static_cast<unsigned>(offset);
}

TMessage MessageFromEvent(QEvent* event, unsigned message)
{
    if (auto* carried = dynamic_cast<MessageEvent*>(event)) return carried->Message;
    TMessage bare;
    bare.Msg = message;
    return bare;
}

unsigned VirtualKeyOf(int qtKey)
{
    switch (qtKey) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return VK_TAB;
        case Qt::Key_Alt:
            return VK_MENU;
        case Qt::Key_Left:
            return VK_LEFT;
        case Qt::Key_Up:
            return VK_UP;
        case Qt::Key_Right:
            return VK_RIGHT;
        case Qt::Key_Down:
            return VK_DOWN;
        default:
            break;
    }
    const bool letterOrDigit =
        (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9);
    return letterOrDigit ? static_cast<unsigned>(qtKey) : 0;
}

}  // namespace themes
