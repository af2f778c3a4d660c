#pragma once
// Small helpers that build the standard controls of the editor windows alike and move values
// between them and the option records.

#include <QString>

#include <functional>
#include <initializer_list>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TStringList;

namespace controls {

inline QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}
std::string Text(const QLineEdit* edit);

QGroupBox* NewGroup(QWidget* parent, const char* caption, const char* name = nullptr);
QLabel* NewLabel(QWidget* parent, const char* caption);
/// F1 anywhere in `window` runs `show`, as the window's "Help" does.
void ConnectHelpKey(QWidget* window, std::function<void()> show);
QLineEdit* NewEdit(QWidget* parent, const char* name);
QCheckBox* NewCheck(QWidget* parent, const char* caption, const char* name);
/// A small "..." button that opens a browse dialog.
QPushButton* NewBrowseButton(QWidget* parent, const char* name);
/// An underlined link text with a hand cursor and a hint; it emits linkActivated on a click.
QLabel* NewLinkLabel(QWidget* parent, const char* caption, const char* name, const char* hint);
/// The link "My e-mail addresses" of the editors with the own-address placeholders; a click
/// opens the own-address editor with `parent` as owner.
QLabel* NewMyEmailsLink(QWidget* parent);
/// A drop-down list (no typing) of these items.
QComboBox* NewComboList(QWidget* parent, const char* name, std::initializer_list<const char*> items);
/// A memo of one mask per line: both scroll bars, no word wrap.
QPlainTextEdit* NewMaskMemo(QWidget* parent, const char* name);

/// Selects item `index`; an index outside the list selects the first item, so that reading
/// the list back never gives an index it does not have.
void SetComboIndex(QComboBox* combo, int index);

void ListToMemo(const TStringList& list, QPlainTextEdit* memo);
void MemoToList(const QPlainTextEdit* memo, TStringList& list);

}  // namespace controls
