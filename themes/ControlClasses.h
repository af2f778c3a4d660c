#pragma once
// The control classes the theme manager tells apart, as Qt widgets stand for them, and the
// properties of those controls that the drawing reads.
//
//   button control   QPushButton, QCheckBox, QRadioButton (any QAbstractButton but a tool button)
//   bit button       a QPushButton with a glyph (its "Glyph" property or its icon)
//   speed button     a QToolButton that is not on a tool bar
//   group box        a QGroupBox without a check box of its own
//   tab sheet        a page of a QTabWidget
//   panel            a QFrame (exactly that class) that is not a line
//   frame            a plain QWidget container (exactly that class) inside a window
//   list view        a QTreeView, or a QListView that is not a QListWidget
//   track bar        a QSlider
//   check list box   a QListWidget whose items carry check boxes
//   status bar       a QStatusBar
//   animate          a QLabel playing a QMovie
//   form             a window (Qt::Window or Qt::Dialog), or the form a theme manager sits on
//   windowed control any other widget; in Qt every widget has a window of its own
//
// Widgets that Qt builds inside its composite widgets (names starting "qt_": viewports, scroll
// bars, tab bars, the pages' stack of a tab widget) are no controls of the form and never taken over.
// Properties that Qt widgets do not have (a panel's bevels, a glyph's layout) are read from dynamic
// properties of the same names, with the defaults of the control framework.

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <vector>

namespace themes {

bool IsInternalWidget(const QWidget* widget);
bool IsButtonControl(const QWidget* widget);
bool IsBitBtn(const QWidget* widget);
bool IsSpeedButton(const QWidget* widget);
bool IsGroupBox(const QWidget* widget);
bool IsTabSheet(const QWidget* widget);
bool IsPanel(const QWidget* widget);
bool IsFrame(const QWidget* widget);
bool IsListView(const QWidget* widget);
bool IsTrackBar(const QWidget* widget);
bool IsCheckListBox(const QWidget* widget);
bool IsStatusBar(const QWidget* widget);
bool IsAnimate(const QWidget* widget);
bool IsForm(const QWidget* widget);
bool IsWinControl(const QWidget* widget);
bool IsScrollingWinControl(const QWidget* widget);
bool IsGrid(const QWidget* widget);
bool IsStaticText(const QWidget* widget);
bool IsLabel(const QWidget* widget);
bool IsToolBar(const QWidget* widget);
/// Cool bars have no counterpart among Qt's widgets.
bool IsCoolBar(const QWidget* widget);

/// Marks the widget a theme manager sits on as a form even when it is not a window.
void MarkAsForm(QWidget* widget);
/// The form a control belongs to: the nearest form among it and its ancestors.
QWidget* FormOf(QWidget* control);

/// The controls placed on a parent, in their order: its child widgets without Qt's internal parts
/// and without windows; a tab widget's pages; a scroll area's contents.
std::vector<QWidget*> ControlsOf(const QWidget* parent);

/// The control has the sunken client edge of an edit box or a list.
bool HasClientEdge(const QWidget* control);
/// The control has a window of its own now (it has been created and not destroyed since).
bool HasWindowNow(const QWidget* control);
/// Notes that a control's window was destroyed to be created again, or that it has been.
void MarkWindowGone(QWidget* control, bool gone);
bool WindowIsGone(const QWidget* control);

/// A control's colour, and whether it takes its parent's (it does not paint a background of its own).
QColor ControlColor(const QWidget* control);
bool ParentColor(const QWidget* control);
/// The colour of the parent's background brush; invalid without a parent.
QColor ParentBrushColor(const QWidget* control);
bool DoubleBuffered(const QWidget* control);
int BorderWidth(const QWidget* control);

/// The bi-directional text flags of a control for a DrawText format: right-to-left controls read
/// right to left and swap left and right alignment.
unsigned DrawTextBiDiModeFlags(const QWidget* control, unsigned flags);
bool UseRightToLeftAlignment(const QWidget* control);

enum class BevelKind { None, Lowered, Raised };

struct PanelProperties {
    BevelKind BevelOuter = BevelKind::Raised;
    BevelKind BevelInner = BevelKind::None;
    int BevelWidth = 1;
    int BorderWidth = 0;
    bool SingleBorder = false;
    QString Caption;
    int Alignment = 2;  // 0 left, 1 right, 2 centre
};
PanelProperties ReadPanel(const QWidget* panel);

/// A bit button's or speed button's glyph and its layout.
struct GlyphProperties {
    QPixmap Glyph;
    int NumGlyphs = 1;
    int Layout = 0;  // 0 left, 1 right, 2 top, 3 bottom
    int Margin = -1;
    int Spacing = 4;
    QString Caption;
};
GlyphProperties ReadGlyph(const QWidget* button);

/// Speed buttons: flat, held down by the mouse, latched down.
bool IsFlat(const QWidget* button);
bool IsDown(const QWidget* button);
bool IsExclusive(const QWidget* button);
/// A bit button's Default.
bool IsDefaultButton(const QWidget* button);

}  // namespace themes
