// SPDX-License-Identifier: MIT
#include "kit/RackPicture.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <tuple>

namespace {

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// The last slot of an item that takes slots, held at the largest number.
std::int64_t LastSlot(const TRackItem& item)
{
    const std::int64_t span = std::max<std::int64_t>(item.slotSpan, 1);
    return item.firstSlot > kLargest - (span - 1) ? kLargest : item.firstSlot + (span - 1);
}

bool TakesSlotsInside(const TRackItem& item)
{
    return !item.outside && !item.noSlot && item.slotSpan > 0;
}

bool IsMarkerInside(const TRackItem& item)
{
    return !item.outside && (item.noSlot || item.slotSpan <= 0);
}

QString SlotRange(std::int64_t first, std::int64_t last)
{
    if (first == last)
        return Text(u"слот %1").arg(first);
    return Text(u"слоты %1–%2").arg(first).arg(last);
}

int Digits(std::int64_t value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// Left edge of slot `slot` (1 … slotCount + 1): the slots before it and
// the markers standing at or before it.
class SlotEdges {
public:
    SlotEdges(double left, double slotWidth, double markerWidth, std::vector<std::int64_t> markers)
        : left_(left), slotWidth_(slotWidth), markerWidth_(markerWidth),
          markers_(std::move(markers))
    {
        std::sort(markers_.begin(), markers_.end());
    }

    double X(std::int64_t slot) const
    {
        const auto before =
            std::upper_bound(markers_.begin(), markers_.end(), slot) - markers_.begin();
        return left_ + static_cast<double>(slot - 1) * slotWidth_ +
               static_cast<double>(before) * markerWidth_;
    }
    // Left edge of slot `slot` before the markers standing at it.
    double XBeforeMarkers(std::int64_t slot) const
    {
        const auto before =
            std::lower_bound(markers_.begin(), markers_.end(), slot) - markers_.begin();
        return left_ + static_cast<double>(slot - 1) * slotWidth_ +
               static_cast<double>(before) * markerWidth_;
    }

private:
    double left_, slotWidth_, markerWidth_;
    std::vector<std::int64_t> markers_;
};

// Slots 1, step, 2·step … and the last, so that no two numbers overlap:
// a number is left out when it would stand closer than a label's width to
// the one before; the last slot is always numbered, in place of the one
// before it if need be.
std::vector<std::int64_t> NumberedSlots(std::int64_t slotCount, double slotWidth, double labelWidth)
{
    std::vector<std::int64_t> slots;
    if (slotCount <= 0 || slotWidth <= 0)
        return slots;
    const double room = labelWidth / slotWidth; // slots from one number to the next, at least
    std::int64_t step = 1;
    static constexpr int kFactors[] = {1, 2, 5};
    for (std::int64_t decade = 1; static_cast<double>(step) < room;) {
        bool found = false;
        for (const int factor : kFactors)
            if (!found && static_cast<double>(decade) * factor >= room) {
                step = decade * factor;
                found = true;
            }
        if (found || decade > kLargest / 100)
            break;
        decade *= 10;
        step = decade;
    }
    const auto farEnough = [room](std::int64_t from, std::int64_t to) {
        return static_cast<double>(to - from) >= room;
    };
    slots.push_back(1);
    for (std::int64_t slot = step; slot <= slotCount; slot += step) {
        if (slot > 1 && farEnough(slots.back(), slot))
            slots.push_back(slot);
        if (slot > kLargest - step)
            break;
    }
    if (slots.back() != slotCount) {
        if (!farEnough(slots.back(), slotCount) && slots.size() > 1)
            slots.pop_back();
        if (farEnough(slots.back(), slotCount))
            slots.push_back(slotCount);
    }
    return slots;
}

} // namespace

std::vector<TRackRun> RackFreeRuns(const std::vector<TRackItem>& items, std::int64_t slotCount)
{
    std::vector<TRackRun> taken;
    for (const TRackItem& item : items)
        if (TakesSlotsInside(item) && item.firstSlot <= slotCount)
            taken.push_back(
                {std::max<std::int64_t>(item.firstSlot, 1), std::min(LastSlot(item), slotCount)});
    std::sort(taken.begin(), taken.end(),
              [](const TRackRun& a, const TRackRun& b) { return a.first < b.first; });
    std::vector<TRackRun> free;
    std::int64_t next = 1; // the first slot not yet known to be taken
    for (const TRackRun& run : taken) {
        if (run.first > next)
            free.push_back({next, run.first - 1});
        if (run.last >= next)
            next = run.last == kLargest ? kLargest : run.last + 1;
        if (run.last == kLargest)
            return free;
    }
    if (next <= slotCount)
        free.push_back({next, slotCount});
    return free;
}

std::vector<TRackPart> RackParts(const std::vector<TRackItem>& items,
                                 const std::vector<TRackRun>& freeRuns)
{
    // (first slot, rank, order): an entry of no slot comes before the slot
    // it stands at; blocks and free runs never share a first slot.
    std::vector<std::tuple<std::int64_t, int, int, TRackPart>> inside;
    std::vector<TRackPart> parts;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const TRackItem& item = items[static_cast<size_t>(i)];
        if (!item.outside)
            inside.emplace_back(item.firstSlot, IsMarkerInside(item) ? 0 : 1, i,
                                TRackPart{false, i});
    }
    for (int i = 0; i < static_cast<int>(freeRuns.size()); ++i)
        inside.emplace_back(freeRuns[static_cast<size_t>(i)].first, 1,
                            static_cast<int>(items.size()) + i, TRackPart{true, i});
    std::stable_sort(inside.begin(), inside.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a), std::get<2>(a)) <
               std::tie(std::get<0>(b), std::get<1>(b), std::get<2>(b));
    });
    for (const auto& entry : inside)
        parts.push_back(std::get<3>(entry));
    for (int i = 0; i < static_cast<int>(items.size()); ++i)
        if (items[static_cast<size_t>(i)].outside)
            parts.push_back({false, i});
    return parts;
}

QString RackItemName(const TRackItem& item)
{
    QString where;
    if (item.outside)
        where = Text(u"вне корзины");
    else if (item.noSlot || item.slotSpan <= 0)
        where = Text(u"без слота");
    else
        where = SlotRange(item.firstSlot, LastSlot(item));
    QString what = item.code;
    if (!item.name.isEmpty())
        what += QStringLiteral(", ") + item.name;
    return where + QStringLiteral(": ") + what;
}

QString RackFreeRunName(const TRackRun& run)
{
    return SlotRange(run.first, run.last) + Text(u": свободно");
}

TRackLayout RackLayout(const std::vector<TRackItem>& items, std::int64_t slotCount,
                       const QRectF& area, const TRackMetrics& metrics)
{
    slotCount = std::max<std::int64_t>(slotCount, 0);
    const QRectF inner =
        area.adjusted(metrics.padding, metrics.padding, -metrics.padding, -metrics.padding);
    const double bodyTop = inner.top() + metrics.numberHeight;
    const double bodyHeight = std::max(0.0, inner.bottom() - bodyTop);

    std::vector<std::int64_t> markers;
    double outsideSlots = 0, outsideMarkers = 0;
    bool anyOutside = false;
    for (const TRackItem& item : items) {
        if (item.outside) {
            anyOutside = true;
            if (item.noSlot || item.slotSpan <= 0)
                ++outsideMarkers;
            else
                outsideSlots += static_cast<double>(
                    std::min<std::int64_t>(item.slotSpan, kRackOutsideSpanShown));
        } else if (IsMarkerInside(item)) {
            markers.push_back(std::clamp<std::int64_t>(
                item.firstSlot, 1, slotCount == kLargest ? kLargest : slotCount + 1));
        }
    }
    const double fixed = static_cast<double>(markers.size()) * metrics.markerWidth +
                         (anyOutside ? metrics.gap + outsideMarkers * metrics.markerWidth : 0);
    const double units = static_cast<double>(slotCount) + outsideSlots;
    const double slotWidth =
        units > 0 ? std::clamp((inner.width() - fixed) / units, 0.0, metrics.maxSlotWidth) : 0;

    TRackLayout layout;
    layout.slotWidth = slotWidth;
    layout.numberBand = QRectF(inner.left(), inner.top(), inner.width(), metrics.numberHeight);
    const SlotEdges edges(inner.left(), slotWidth, metrics.markerWidth, markers);
    layout.crate = QRectF(inner.left(), bodyTop,
                          static_cast<double>(slotCount) * slotWidth +
                              static_cast<double>(markers.size()) * metrics.markerWidth,
                          bodyHeight);

    double outsideX = layout.crate.right() + metrics.gap;
    std::int64_t lastMarkerSlot = 0;
    int markersAtSlot = 0;
    for (const TRackItem& item : items) {
        QRectF block;
        if (item.outside) {
            const double width = item.noSlot || item.slotSpan <= 0
                                     ? metrics.markerWidth
                                     : static_cast<double>(std::min<std::int64_t>(
                                           item.slotSpan, kRackOutsideSpanShown)) *
                                           slotWidth;
            block = QRectF(outsideX, bodyTop, width, bodyHeight);
            outsideX += width;
            layout.outside = layout.outside.isNull() ? block : layout.outside.united(block);
        } else if (IsMarkerInside(item)) {
            const std::int64_t slot = std::clamp<std::int64_t>(
                item.firstSlot, 1, slotCount == kLargest ? kLargest : slotCount + 1);
            markersAtSlot = slot == lastMarkerSlot ? markersAtSlot + 1 : 0;
            lastMarkerSlot = slot;
            block = QRectF(edges.XBeforeMarkers(slot) + markersAtSlot * metrics.markerWidth,
                           bodyTop, metrics.markerWidth, bodyHeight);
        } else {
            const std::int64_t first =
                std::clamp<std::int64_t>(item.firstSlot, 1, std::max<std::int64_t>(slotCount, 1));
            const std::int64_t last = std::clamp(LastSlot(item), first, std::max(slotCount, first));
            block = QRectF(edges.X(first), bodyTop,
                           static_cast<double>(last - first + 1) * slotWidth, bodyHeight);
        }
        layout.blocks.push_back(block);
    }

    for (const TRackRun& run : RackFreeRuns(items, slotCount))
        layout.freeRuns.push_back(QRectF(edges.X(run.first), bodyTop,
                                         static_cast<double>(run.last - run.first + 1) * slotWidth,
                                         bodyHeight));

    const double labelWidth = Digits(slotCount) * metrics.digitWidth + 4;
    for (const std::int64_t slot : NumberedSlots(slotCount, slotWidth, labelWidth))
        layout.numbers.push_back(
            {slot, QRectF(edges.X(slot), inner.top(), slotWidth, metrics.numberHeight)});
    return layout;
}

namespace {

const QColor kCrateFrame(48, 48, 48);
const QColor kBlockFill(220, 230, 242);
const QColor kBlockFrame(80, 96, 112);
const QColor kFreeFill(255, 255, 255);
const QColor kSlotLine(200, 200, 200);
const QColor kMarkerFill(64, 64, 64);
const QColor kNumberText(80, 80, 80);
const QColor kOutsideFill(255, 235, 235);

// The code in its block: across when it fits, otherwise turned to read
// upwards when the block is taller than wide, in a smaller face when the
// block is thinner than a line of text (down to three fifths of it) or a
// little shorter than the code (down to three quarters), and shortened
// with "…" when even that is too little room. `metrics` are the painter's
// font's.
void PaintCode(QPainter& painter, const QFontMetricsF& metrics, const QString& code,
               const QRectF& block, const QColor& colour, bool onHatching, double lw)
{
    const QRectF room = block.adjusted(2 * lw, 2 * lw, -2 * lw, -2 * lw);
    const double smallest = metrics.height() * 0.6;
    if (room.width() < smallest && room.height() < smallest)
        return; // too small for any text: many blocks in a narrow view
    if (room.width() <= 0 || room.height() <= 0)
        return;
    const bool turned =
        room.height() > room.width() && metrics.horizontalAdvance(code) > room.width();
    const double thickness = turned ? room.width() : room.height();
    QFont font = painter.font();
    std::optional<QFontMetricsF> smaller;
    const double length = turned ? room.height() : room.width();
    double scale = 1;
    if (metrics.height() > thickness) {
        scale = thickness / metrics.height();
        if (scale < 0.6 || font.pointSizeF() <= 0)
            return;
    }
    if (const double advance = metrics.horizontalAdvance(code); advance > length)
        scale = std::min(scale, std::max(0.75, length / advance));
    if (scale < 1 && font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * scale);
        smaller.emplace(font, painter.device());
    }
    const QFontMetricsF& used = smaller ? *smaller : metrics;
    const QString shown = used.elidedText(code, Qt::ElideRight, length);
    if (shown.isEmpty())
        return;
    painter.save();
    painter.setFont(font);
    painter.translate(room.center());
    if (turned)
        painter.rotate(-90);
    const double width = std::min(used.horizontalAdvance(shown), length);
    const QRectF textRect(-width / 2, -used.height() / 2, width, used.height());
    if (onHatching)
        painter.fillRect(textRect.adjusted(-2 * lw, 0, 2 * lw, 0), Qt::white);
    painter.setPen(colour);
    painter.drawText(textRect, Qt::AlignCenter, shown);
    painter.restore();
}

// A frame `width` thick just inside `rect`, filled rather than stroked:
// a wide pen goes through the stroker, slow for hundreds of blocks.
void FrameRect(QPainter& painter, const QRectF& rect, const QColor& colour, double width)
{
    const double w = std::min(width, rect.width() / 2);
    const double h = std::min(width, rect.height() / 2);
    painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), h), colour);
    painter.fillRect(QRectF(rect.left(), rect.bottom() - h, rect.width(), h), colour);
    painter.fillRect(QRectF(rect.left(), rect.top(), w, rect.height()), colour);
    painter.fillRect(QRectF(rect.right() - w, rect.top(), w, rect.height()), colour);
}

// Diagonal lines across `rect`, rising to the right: lines cut to the
// rectangle here, rather than a brush pattern (whose spacing would follow
// the device's pixels) or a clip per block (slow for hundreds of them).
void Hatch(QPainter& painter, const QRectF& rect, const QColor& colour, double lw)
{
    QVarLengthArray<QLineF, 64> lines;
    const double spacing = 6 * lw;
    const double h = rect.height();
    for (double x = rect.left() - h; x < rect.right(); x += spacing) {
        // The line from (x, bottom) to (x + h, top), within left … right.
        const double from = std::max(x, rect.left());
        const double to = std::min(x + h, rect.right());
        if (from < to)
            lines.append(QLineF(from, rect.bottom() - (from - x), to, rect.bottom() - (to - x)));
    }
    painter.setPen(QPen(colour, lw));
    painter.drawLines(lines.constData(), static_cast<int>(lines.size()));
}

} // namespace

void PaintRack(QPainter& painter, const std::vector<TRackItem>& items, const TRackLayout& layout,
               const TRackPaintOptions& options)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont numberFont = options.font;
    if (numberFont.pointSizeF() > 0)
        numberFont.setPointSizeF(numberFont.pointSizeF() * 0.85);
    else if (numberFont.pixelSize() > 0)
        numberFont.setPixelSize(std::max(1, numberFont.pixelSize() * 85 / 100));

    // The crate: empty slots, their numbers, its outline.
    painter.fillRect(layout.crate, kFreeFill);
    const double w = layout.slotWidth;
    const double lw = options.lineWidth;
    painter.setPen(QPen(kSlotLine, lw));
    for (const QRectF& run : layout.freeRuns) {
        if (w < 4 * lw)
            continue; // too narrow to tell the slots apart: one empty run
        const auto slots = static_cast<std::int64_t>(std::llround(run.width() / w));
        for (std::int64_t i = 1; i < slots; ++i) {
            const double x = run.left() + static_cast<double>(i) * w;
            painter.drawLine(QPointF(x, run.top() + 2 * lw), QPointF(x, run.bottom() - 2 * lw));
        }
    }
    painter.setFont(numberFont);
    painter.setPen(kNumberText);
    for (const TRackNumber& number : layout.numbers) {
        // Centred over its slot, wider than the slot when need be.
        const QRectF text =
            number.rect.adjusted(-number.rect.height() * 2, 0, number.rect.height() * 2, 0);
        painter.drawText(text, Qt::AlignHCenter | Qt::AlignVCenter, QString::number(number.slot));
    }

    painter.setFont(options.font);
    const QFontMetricsF codeMetrics(options.font, painter.device());
    const size_t count = std::min(items.size(), layout.blocks.size());
    const auto shapeOf = [&](size_t i) {
        return layout.blocks[i].adjusted(lw, lw, -lw, -lw); // neighbours stay apart
    };
    const auto isMarker = [](const TRackItem& item) { return item.noSlot || item.slotSpan <= 0; };

    // Entries outside the crate, never by colour alone: hatched (once
    // across them all: hundreds of entries may be outside), framed in the
    // over-limit colour, and a warning sign over them.
    if (!layout.outside.isEmpty()) {
        const QRectF outside = layout.outside.adjusted(lw, lw, -lw, -lw);
        painter.fillRect(outside, kOutsideFill);
        if (options.current >= 0 && static_cast<size_t>(options.current) < count &&
            items[static_cast<size_t>(options.current)].outside)
            painter.fillRect(shapeOf(static_cast<size_t>(options.current)),
                             options.highlight.lighter(170));
        Hatch(painter, outside, options.overLimit, lw);
        FrameRect(painter, outside, options.overLimit, 2 * lw);
    }
    double signsUpTo = -1e300; // right edge of the last warning sign drawn
    const double signRoom = layout.numberBand.height();
    painter.setPen(options.overLimit);
    for (size_t i = 0; i < count; ++i) {
        if (!items[i].outside)
            continue;
        const QRectF shape = shapeOf(i);
        if (shape.width() >= 6 * lw) // narrower, the frames would fill it red
            FrameRect(painter, shape, options.overLimit, 2 * lw);
        // Within the band, so that the sign over the last entry is never
        // cut off at the edge; one sign per place, so that over many
        // narrow entries they do not pile up.
        const double signLeft = std::clamp(
            shape.center().x() - signRoom, layout.numberBand.left(),
            std::max(layout.numberBand.left(), layout.numberBand.right() - 2 * signRoom));
        if (signLeft >= signsUpTo) {
            painter.setPen(options.overLimit);
            painter.drawText(QRectF(signLeft, layout.numberBand.top(), 2 * signRoom, signRoom),
                             Qt::AlignCenter, QStringLiteral("⚠"));
            signsUpTo = signLeft + 2 * signRoom;
        }
        if (!isMarker(items[i]))
            PaintCode(painter, codeMetrics, items[i].code, shape, Qt::black, true, lw);
    }

    for (size_t i = 0; i < count; ++i) {
        const TRackItem& item = items[i];
        if (item.outside)
            continue;
        const bool chosen = static_cast<int>(i) == options.current;
        const QRectF shape = shapeOf(i);
        if (isMarker(item)) {
            painter.fillRect(shape, chosen ? options.highlight : kMarkerFill);
        } else {
            painter.fillRect(shape, chosen ? options.highlight : kBlockFill);
            FrameRect(painter, shape, kBlockFrame, lw);
            PaintCode(painter, codeMetrics, item.code, shape,
                      chosen ? options.highlightedText : Qt::black, false, lw);
        }
    }

    painter.setPen(QPen(kCrateFrame, 2 * lw));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(layout.crate.adjusted(-lw, -lw, lw, lw));

    if (options.focusFrame && options.current >= 0 &&
        options.current < static_cast<int>(layout.blocks.size())) {
        painter.setPen(QPen(Qt::black, lw, Qt::DashLine));
        painter.drawRect(
            layout.blocks[static_cast<size_t>(options.current)].adjusted(-2 * lw, -2 * lw, lw, lw));
    }
    if (options.dropLineX >= 0) {
        painter.setPen(QPen(Qt::black, 3 * lw));
        painter.drawLine(QPointF(options.dropLineX, layout.crate.top() - 3),
                         QPointF(options.dropLineX, layout.crate.bottom() + 3));
    }
    painter.restore();
}
