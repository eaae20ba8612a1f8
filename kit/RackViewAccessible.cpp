// SPDX-License-Identifier: MIT
#include "kit/RackViewAccessible.h"

#include "kit/RackView.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace {

// The part-th part from the left; it has no widget of its own, so it asks
// the view each time, and its content follows the view's items.
class TAccessibleRackPart : public QAccessibleInterface {
public:
    TAccessibleRackPart(TRackView* view, int part) : view_(view), part_(part) {}

    bool isValid() const override
    {
        return view_ && part_ < static_cast<int>(view_->Parts().size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(view_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const TRackPart part = Part();
        if (t == QAccessible::Name)
            return part.freeRun
                       ? RackFreeRunName(view_->FreeRuns()[static_cast<size_t>(part.index)])
                       : RackItemName(view_->Items()[static_cast<size_t>(part.index)]);
        if (t == QAccessible::Description && !part.freeRun)
            return view_->Items()[static_cast<size_t>(part.index)].toolTip;
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const TRackPart part = Part();
        const TRackLayout layout = view_->Layout();
        const QRect local =
            (part.freeRun ? layout.freeRuns : layout.blocks)[static_cast<size_t>(part.index)]
                .toAlignedRect();
        return QRect(view_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !view_ || !view_->isVisible();
        state.readOnly = true;
        if (!isValid())
            return state;
        const TRackPart part = Part();
        if (!part.freeRun) {
            state.focusable = true;
            state.selectable = true;
            const bool chosen = part.index == view_->Current();
            state.selected = chosen;
            state.focused = chosen && view_->hasFocus();
        }
        return state;
    }

private:
    TRackPart Part() const { return view_->Parts()[static_cast<size_t>(part_)]; }

    QPointer<TRackView> view_;
    int part_;
};

class TAccessibleRackView : public QAccessibleWidget {
public:
    explicit TAccessibleRackView(TRackView* view) : QAccessibleWidget(view, QAccessible::List) {}
    ~TAccessibleRackView() override
    {
        for (const QAccessible::Id id : parts_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(View()->Parts().size()); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // Each place from the left keeps its interface for the view's life,
        // so a screen reader does not see new objects on every change.
        while (static_cast<int>(parts_.size()) <= index) {
            auto* part = new TAccessibleRackPart(View(), static_cast<int>(parts_.size()));
            parts_.push_back(QAccessible::registerAccessibleInterface(part));
        }
        return QAccessible::accessibleInterface(parts_[static_cast<size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (size_t i = 0; i < parts_.size(); ++i)
            if (QAccessible::accessibleInterface(parts_[i]) == child)
                return static_cast<int>(i) < childCount() ? static_cast<int>(i) : -1;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

private:
    TRackView* View() const { return static_cast<TRackView*>(widget()); }
    mutable std::vector<QAccessible::Id> parts_;
};

QAccessibleInterface* RackViewInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("TRackView") && object != nullptr && object->isWidgetType())
        return new TAccessibleRackView(static_cast<TRackView*>(object));
    return nullptr;
}

} // namespace

void InstallRackViewAccessibility()
{
    static const bool installed = (QAccessible::installFactory(RackViewInterface), true);
    Q_UNUSED(installed);
}
