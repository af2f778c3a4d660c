#pragma once
// What every editor window of a job's parts has in common: a fixed dialog centred on the screen,
// a bottom row of "Help", "OK" and "Cancel", and handlers that let no exception out (SlotGuard).
// OK runs the editor's ButtonOKClick; an exception from it is shown and the window stays open,
// the silent abort closes nothing and shows nothing. Cancel, Esc and the close box end with
// modal result 2.

#include <QDialog>

#include <initializer_list>

class QBoxLayout;
class QPushButton;

class TEditorDialog : public QDialog {
    Q_OBJECT

public:
    /// The modal results of the windows, as their callers compare them.
    static constexpr int mrOK = 1;
    static constexpr int mrCancel = 2;

    explicit TEditorDialog(QWidget* parent);

protected:
    enum class TBottomButton { Help, OK, Cancel };

    /// Adds the bottom row with the buttons in this order (right-aligned) to `layout`, and
    /// connects them: "OK" (default button) to ButtonOKClick, "Cancel" to reject, "Help" to
    /// ButtonHelpClick. `extra`, when given, stands at the left end of the row.
    void AddBottomRow(QBoxLayout* layout, std::initializer_list<TBottomButton> order,
                      QPushButton* extra = nullptr);

    /// A fixed-size window: only the title, the system menu and the close box.
    void MakeFixedDialog();

    /// Shows the window modally; true when it closed with modal result OK.
    bool ShowModalOK();

    /// Ends the modal loop with OK.
    void CloseWithOK() { done(mrOK); }

    virtual void ButtonOKClick() = 0;
    /// The help topic of the window's "Help" button.
    virtual int HelpContext() const = 0;

    void showEvent(QShowEvent* event) override;
    /// Cancel, Esc and the close box: modal result 2.
    void reject() override { done(mrCancel); }

    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;
    QPushButton* ButtonHelp = nullptr;

private:
    void ButtonHelpClick();
    void CentreOnScreen();

    bool centred_ = false;
};
