#pragma once
// The results of a run of the main window: the engine's summary and the per-mail error lines.

#include <QDialog>

#include <memory>
#include <string>

#include "platform/runtime/StringList.h"

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class QSplitter;

/// The results window: the summary on top, the error lines below, a splitter between them.
class TFormResults : public QDialog {
    Q_OBJECT

public:
    explicit TFormResults(QWidget* Owner);
    ~TFormResults() override;

    /// The summary text of the run, CR LF between its lines.
    std::string Summary;
    /// The per-mail error lines (owned).
    TStringList& ErrorLines() { return *FErrorLines; }

    /// Fills the window and shows it modally; with neither a summary nor error lines nothing
    /// is shown.
    void Execute();

protected:
    /// Escape acts as "Close": modal result OK.
    void reject() override { done(1); }

private:
    void CreateControls();
    QGroupBox* NewMemoGroup(const char* Caption, const char* GroupName, QPlainTextEdit*& Memo,
                            const char* MemoName);

    std::unique_ptr<TStringList> FErrorLines;

    QWidget* PanelClient = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QPlainTextEdit* MemoResults = nullptr;
    QSplitter* Splitter = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QPlainTextEdit* MemoMailErrors = nullptr;
    QWidget* PanelBottom = nullptr;
    QPushButton* ButtonClose = nullptr;
};

/// Reports a finished run: the results window when there are error lines, else the summary in
/// an information message box titled "Trovanta".
void ShowResults(QWidget* Owner, const std::string& Summary, const TStringList& ErrorLines);
