#pragma once
// One list per control class of the controls the theme manager has taken over.
//
// Taking a control over replaces its window method by the list's stub: the list installs itself
// as an event filter on the control (and, for a check list box, puts its own item delegate in
// place of the list's). The stub turns the control's events into messages and hands them to the
// main manager's handler for the class; a handler gives a message back to the control's previous
// window method with DispatchToPrevious. Giving a control back removes the filter (and puts the
// previous delegate back), so the control ends as it was before.
//
// Every message of every taken-over control looks its control up, so the entries are kept sorted
// by address (lazily, at the first lookup after a change), searched by halving, and the last hit
// is cached.

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

#include "themes/ThemeMessages.h"

class QAbstractItemDelegate;
class QWidget;

namespace themes {

class TThemeManager;

/// The control classes, each with its own list and handler.
enum class ControlKind {
    ListView,
    TabSheet,
    GroupBox,
    ButtonControl,
    SpeedButton,
    TrackBar,
    Animate,
    StatusBar,
    CheckListBox,
    Form,
    Frame,
    Panel,
    WinControl,
};

using ControlClassTest = bool (*)(const QWidget*);

class TWindowProcList final : public QObject {
public:
    TWindowProcList(TThemeManager& owner, ControlKind kind, ControlClassTest controlClass);
    /// Clears the list: every control gets its window method back.
    ~TWindowProcList() override;

    /// Takes a control over; its index, or -1 for a control of another class or one already listed.
    int AddControl(QWidget* control);
    /// Gives a control back (and, for a windowed control, its windowed descendants).
    void RemoveControl(QWidget* control);
    bool FindControl(QWidget* control, int& index);
    /// Hands a message to the control's previous window method; nothing for a control not listed.
    void DispatchToPrevious(QWidget* control, TMessage& message);
    void Clear();

    ControlKind Kind() const { return kind_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Contains(QWidget* control);
    TThemeManager& Owner() const { return owner_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry;
    void Restore(Entry& entry);
    void Forget(QObject* control);

    TThemeManager& owner_;
    const ControlKind kind_;
    const ControlClassTest controlClass_;
    std::vector<std::unique_ptr<Entry>> entries_;
    bool dirty_ = false;
    QWidget* lastControl_ = nullptr;
    int lastIndex_ = -1;
};

}  // namespace themes
