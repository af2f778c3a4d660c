#pragma once
// A form with one control of every class the theme manager tells apart.

#include <memory>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QToolButton;
class QTreeWidget;
class QWidget;

namespace themes_test {

struct SampleForm {
    SampleForm();
    ~SampleForm();

    std::unique_ptr<QWidget> Form;
    QGroupBox* Box;  // group box, holding Button and Check
    QPushButton* Button;
    QCheckBox* Check;
    QPushButton* BitButton;  // a push button with a glyph
    QToolButton* Speed;      // a speed button
    QFrame* Panel;           // panel, holding Edit
    QLineEdit* Edit;
    QWidget* Frame;  // a plain container
    QTabWidget* Tabs;
    QWidget* Sheet;     // the first page of Tabs
    QTreeWidget* List;  // list view with three columns
    QSlider* Track;
    QListWidget* CheckList;  // three checkable rows
    QTableWidget* Grid;
    QLabel* Animation;  // a label with a movie
    QStatusBar* Status;
};

}  // namespace themes_test
