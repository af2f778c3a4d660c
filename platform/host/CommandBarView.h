#pragma once
// Draws the command bars of the mail client's window as Qt toolbars and turns the user's
// clicks and changes into the controls' events. The bars are drawn again after every change
// that add-ins make, once the change is complete (the drawing is queued), and an event runs
// after the click that caused it has returned, so that a handler may change or delete the
// very control that was clicked.

#include <QObject>

#include <vector>

#include "platform/office/CommandBars.h"

class QMainWindow;
class QMenu;
class QToolBar;

namespace host {

class CommandBarView final : public QObject {
    Q_OBJECT
public:
    CommandBarView(QMainWindow& window, ComPtr<office::_CommandBars> bars);
    ~CommandBarView() override;
    CommandBarView(const CommandBarView&) = delete;
    CommandBarView& operator=(const CommandBarView&) = delete;

    /// Draws the visible toolbars now.
    void Render();
    const std::vector<QToolBar*>& ToolBars() const { return toolbars_; }

private:
    void ScheduleRender();
    void RemoveToolBars();
    void AddToolBar(office::CommandBar& bar);
    void AddControl(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control);
    void AddButton(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control);
    void AddTextControl(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control);
    void AddPopup(QToolBar& toolbar, const ComPtr<office::CommandBarControl>& control);
    void FillMenu(QMenu& menu, office::CommandBarControls& controls);
    /// Fires the control's event once the current Qt event has been handled.
    void ExecuteLater(const ComPtr<office::CommandBarControl>& control);

    QMainWindow& window_;
    ComPtr<office::_CommandBars> bars_;
    std::vector<QToolBar*> toolbars_;
    bool renderPending_ = false;
};

}  // namespace host
