// SPDX-License-Identifier: MIT
#include "kit/RackView.h"

#include "kit/RackViewAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

TRackView::TRackView(QWidget* parent) : QWidget(parent)
{
    InstallRackViewAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void TRackView::SetItems(std::vector<TRackItem> items, std::int64_t slotCount)
{
    items_ = std::move(items);
    slotCount_ = std::max<std::int64_t>(slotCount, 0);
    const int count = static_cast<int>(items_.size());
    const int kept = count == 0 ? -1 : std::min(current_, count - 1);
    dragging_ = false;
    pressed_ = -1;
    drop_ = {};
    if (kept != current_) {
        current_ = kept;
        Q_EMIT CurrentChanged(current_);
    }
    if (QAccessible::isActive()) {
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    update();
}

void TRackView::SetCurrent(int entry)
{
    if (entry < -1 || entry >= static_cast<int>(items_.size()) || entry == current_)
        return;
    current_ = entry;
    update();
    TellScreenReaderOfFocus();
    Q_EMIT CurrentChanged(current_);
}

TRackMetrics TRackView::Metrics() const
{
    const QFontMetricsF font(this->font());
    TRackMetrics metrics;
    metrics.numberHeight = std::ceil(font.height() * 0.85) + 4;
    metrics.digitWidth = font.horizontalAdvance(QLatin1Char('0')) * 0.85;
    metrics.markerWidth = std::max(6.0, std::round(font.height() / 2));
    metrics.gap = std::max(12.0, font.height());
    metrics.padding = 3;
    // A slot no wider than about two thirds of its height, or than five
    // lines in a low strip, so that a crate of four slots keeps the shape
    // of a crate and still has room for its codes.
    metrics.maxSlotWidth = std::max(font.height() * 5, (height() - metrics.numberHeight) * 0.7);
    return metrics;
}

TRackLayout TRackView::Layout() const
{
    return RackLayout(items_, slotCount_, QRectF(rect()), Metrics());
}

int TRackView::ItemAt(QPointF point) const
{
    const TRackLayout layout = Layout();
    for (size_t i = 0; i < layout.blocks.size(); ++i)
        if (layout.blocks[i].contains(point))
            return static_cast<int>(i);
    return -1;
}

QSize TRackView::sizeHint() const
{
    const QFontMetrics font(this->font());
    return {font.height() * 30, font.height() * 6};
}

QSize TRackView::minimumSizeHint() const
{
    const QFontMetrics font(this->font());
    return {font.height() * 8, font.height() * 4};
}

void TRackView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    TRackPaintOptions options;
    options.font = font();
    options.highlight = palette().color(QPalette::Highlight);
    options.highlightedText = palette().color(QPalette::HighlightedText);
    options.current = current_;
    options.focusFrame = hasFocus();
    if (dragging_ && drop_.to >= 0)
        options.dropLineX = drop_.lineX;
    PaintRack(painter, items_, Layout(), options);
}

void TRackView::keyPressEvent(QKeyEvent* event)
{
    const int count = static_cast<int>(items_.size());
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        step = -1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        step = 1;
        break;
    case Qt::Key_Home:
        if (count > 0 && !(event->modifiers() & Qt::AltModifier))
            SetCurrent(0);
        return;
    case Qt::Key_End:
        if (count > 0 && !(event->modifiers() & Qt::AltModifier))
            SetCurrent(count - 1);
        return;
    case Qt::Key_Escape:
        if (dragging_) {
            dragging_ = false;
            pressed_ = -1;
            drop_ = {};
            unsetCursor();
            update();
            return;
        }
        QWidget::keyPressEvent(event);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (count == 0)
        return;
    if (event->modifiers() & Qt::AltModifier) {
        if (current_ >= 0)
            AskToMove(current_, std::clamp(current_ + step, 0, count - 1));
        return;
    }
    SetCurrent(current_ < 0 ? (step > 0 ? 0 : count - 1)
                            : std::clamp(current_ + step, 0, count - 1));
}

void TRackView::AskToMove(int from, int to)
{
    if (from != to && from >= 0 && to >= 0 && from < static_cast<int>(items_.size()) &&
        to < static_cast<int>(items_.size()))
        Q_EMIT MoveRequested(from, to);
}

void TRackView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = ItemAt(event->position());
    pressPoint_ = event->position().toPoint();
    dragging_ = false;
    drop_ = {};
    if (pressed_ >= 0)
        SetCurrent(pressed_);
}

void TRackView::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ < 0)
        return;
    if (!dragging_ && (event->position().toPoint() - pressPoint_).manhattanLength() >=
                          QApplication::startDragDistance())
        dragging_ = true;
    if (dragging_) {
        drop_ = DropAt(pressed_, event->position());
        setCursor(drop_.to >= 0 ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
        update();
    }
}

void TRackView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || pressed_ < 0)
        return;
    const int from = pressed_;
    const int to = dragging_ ? DropAt(from, event->position()).to : -1;
    pressed_ = -1;
    dragging_ = false;
    drop_ = {};
    unsetCursor();
    update();
    if (to >= 0)
        AskToMove(from, to);
}

TRackView::Drop TRackView::DropAt(int from, QPointF point) const
{
    const int count = static_cast<int>(items_.size());
    if (from < 0 || from >= count)
        return {};
    const TRackLayout layout = Layout();
    if (point.y() < layout.crate.top() || point.y() > layout.crate.bottom())
        return {};
    Drop drop;
    int before = -1; // the entry it is to go before; `count` for the very end
    if (const int onto = ItemAt(point); onto >= 0) {
        before = onto;
        drop.lineX = layout.blocks[static_cast<size_t>(onto)].left();
    } else if (point.x() >= layout.blocks.back().right()) {
        before = count;
        drop.lineX = layout.blocks.back().right();
    } else {
        // The free slots after the last block inside the crate: there it
        // goes after that block, before the entries outside.
        const auto outside = std::find_if(items_.begin(), items_.end(),
                                          [](const TRackItem& item) { return item.outside; });
        const int firstOutside = static_cast<int>(outside - items_.begin());
        const double lastInsideRight =
            firstOutside > 0 ? layout.blocks[static_cast<size_t>(firstOutside - 1)].right()
                             : layout.crate.left();
        for (const QRectF& run : layout.freeRuns)
            if (run.contains(point) && run.left() >= lastInsideRight - 0.5) {
                before = firstOutside;
                drop.lineX = lastInsideRight;
            }
    }
    if (before < 0)
        return {};
    // Taken out first, it lands one place further left when it came from
    // the left of where it goes.
    const int to = before > from ? before - 1 : before;
    if (to == from)
        return {};
    drop.to = to;
    return drop;
}

void TRackView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (current_ < 0 && !items_.empty())
        SetCurrent(0);
    else
        TellScreenReaderOfFocus();
    update();
}

void TRackView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool TRackView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int item = ItemAt(help->pos());
        if (item >= 0 && !items_[static_cast<size_t>(item)].toolTip.isEmpty())
            QToolTip::showText(help->globalPos(), items_[static_cast<size_t>(item)].toolTip, this,
                               Layout().blocks[static_cast<size_t>(item)].toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TRackView::TellScreenReaderOfFocus()
{
    if (!hasFocus() || current_ < 0 || !QAccessible::isActive())
        return;
    const std::vector<TRackPart> parts = Parts();
    const auto part = std::find(parts.begin(), parts.end(), TRackPart{false, current_});
    if (part == parts.end())
        return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(static_cast<int>(part - parts.begin()));
    QAccessible::updateAccessibility(&focus);
}
