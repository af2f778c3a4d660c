#pragma once
// The about window: title, version and the rights holder's notice over a picture, with a
// "Close" link and a link to the product's web site.

#include <QDialog>

class QFrame;
class QLabel;
class TLinkLabel;

/// A window without caption bar and system menu; it closes with "Close" or Escape only.
class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* Owner);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    /// Only "Close" and Escape close the window, both with modal result OK.
    void reject() override {}

private:
    void CreateControls();
    QLabel* NewText(const QString& Text, const char* Name, int Left, int Top);
    void LabelCloseClick();
    void LabelWWWClick();
    void FormKeyDown(int Key);

    QLabel* Image = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* LabelInfo = nullptr;
    QLabel* LabelVersion = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* LabelCopyright1 = nullptr;
    QLabel* LabelCopyright2 = nullptr;
    QLabel* LabelCopyright3 = nullptr;
    TLinkLabel* LabelClose = nullptr;
    TLinkLabel* LabelWWW = nullptr;
};

/// Shows the about window modally with Owner as its owner, and frees it.
void ShowAboutBox(QWidget* Owner);
