#include "themes/WindowProcList.h"

#include <QAbstractItemView>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QWidget>

#include <algorithm>
#include <functional>

#include "themes/ControlWindowProc.h"
#include "themes/StyledCheckList.h"
#include "themes/ThemeMgr.h"

namespace themes {

struct TWindowProcList::Entry {
    QWidget* Control = nullptr;
    const QObject* Object = nullptr;
    /// A check list box's item delegate before the take-over, and the one that replaced it.
    QPointer<QAbstractItemDelegate> PreviousDelegate;
    std::unique_ptr<QAbstractItemDelegate> ThemedDelegate;
    std::vector<QMetaObject::Connection> Links;
};

TWindowProcList::TWindowProcList(TThemeManager& owner, ControlKind kind, ControlClassTest controlClass)
    : owner_(owner), kind_(kind), controlClass_(controlClass)
{
}

TWindowProcList::~TWindowProcList()
{
    Clear();
}

int TWindowProcList::AddControl(QWidget* control)
{
    int index = -1;
    if (!control || !controlClass_(control) || FindControl(control, index)) return -1;
    auto entry = std::make_unique<Entry>();
    entry->Control = control;
    entry->Object = control;
    control->installEventFilter(this);
    if (kind_ == ControlKind::CheckListBox) {
        auto* view = static_cast<QAbstractItemView*>(control);
        entry->PreviousDelegate = view->itemDelegate();
        entry->ThemedDelegate = MakeCheckListDelegate(static_cast<QListWidget*>(control));
        view->setItemDelegate(entry->ThemedDelegate.get());
    }
    if (kind_ == ControlKind::ListView) entry->Links = LinkListViewColumns(control);
    entry->Links.push_back(
        connect(control, &QObject::destroyed, this, [this](QObject* gone) { Forget(gone); }));
    entries_.push_back(std::move(entry));
    dirty_ = true;
    return Count() - 1;
}

bool TWindowProcList::FindControl(QWidget* control, int& index)
{
    if (control && control == lastControl_) {
        index = lastIndex_;
        return true;
    }
    if (dirty_ && entries_.size() >= 2) {
        std::sort(entries_.begin(), entries_.end(), [](const auto& a, const auto& b) {
            return std::less<const QWidget*>()(a->Control, b->Control);
        });
        dirty_ = false;
        // Sorting moves the entries: the cached index may point at another control now.
        lastControl_ = nullptr;
        lastIndex_ = -1;
    }
    int low = 0;
    int high = Count() - 1;
    bool found = false;
    while (low <= high) {
        const int middle = (low + high) / 2;
        if (std::less<const QWidget*>()(entries_[middle]->Control, control)) {
            low = middle + 1;
        } else {
            high = middle - 1;
            if (entries_[middle]->Control == control) {
                found = true;
                low = middle;
            }
        }
    }
    index = low;
    if (found) {
        lastControl_ = control;
        lastIndex_ = index;
    }
    return found;
}

bool TWindowProcList::Contains(QWidget* control)
{
    int index = -1;
    return FindControl(control, index);
}

void TWindowProcList::RemoveControl(QWidget* control)
{
    int index = -1;
    if (FindControl(control, index)) {
        std::unique_ptr<Entry> entry = std::move(entries_[static_cast<std::size_t>(index)]);
        entries_.erase(entries_.begin() + index);
        // The cache goes before anything else can look a control up: the entries behind moved.
        lastControl_ = nullptr;
        lastIndex_ = -1;
        Restore(*entry);
        owner_.UnsubclassChildren(control);
    }
    if (index <= lastIndex_) {
        lastControl_ = nullptr;
        lastIndex_ = -1;
    }
    if (TThemeManager* main = TThemeManager::MainManager()) main->ForgetRecreation(control);
}

void TWindowProcList::Restore(Entry& entry)
{
    for (const QMetaObject::Connection& link : entry.Links) disconnect(link);
    entry.Control->removeEventFilter(this);
    if (entry.ThemedDelegate) {
        auto* view = static_cast<QAbstractItemView*>(entry.Control);
        if (entry.PreviousDelegate)
            view->setItemDelegate(entry.PreviousDelegate);
        else
            view->setItemDelegate(new QStyledItemDelegate(view));
    }
}

void TWindowProcList::Forget(QObject* control)
{
    // The control is being destroyed: its entry goes; there is nothing left to give back.
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [control](const auto& entry) { return entry->Object == control; });
    if (it == entries_.end()) return;
    const int index = static_cast<int>(it - entries_.begin());
    entries_.erase(it);
    if (index <= lastIndex_) {
        lastControl_ = nullptr;
        lastIndex_ = -1;
    }
}

void TWindowProcList::DispatchToPrevious(QWidget* control, TMessage& message)
{
    int index = -1;
    if (!FindControl(control, index)) return;
    TThemeManager* main = TThemeManager::MainManager();
    if (message.Msg == CM_RECREATEWND && main) main->RememberRecreation(control);
    const QPointer<QAbstractItemDelegate> previous =
        entries_[static_cast<std::size_t>(index)]->PreviousDelegate;
    DefaultWindowProc(control, message, previous);
    // A window destroyed only to be made again keeps its entry.
    if (message.Msg == WM_DESTROY && !(main && main->IsBeingRecreated(control))) RemoveControl(control);
}

void TWindowProcList::Clear()
{
    while (!entries_.empty()) RemoveControl(entries_.front()->Control);
}

bool TWindowProcList::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType()) return false;
    return TranslateControlEvent(*this, static_cast<QWidget*>(watched), event);
}

}  // namespace themes
