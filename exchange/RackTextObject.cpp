// SPDX-License-Identifier: MIT
#include "exchange/RackTextObject.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

TRackTextObject::TRackTextObject(std::vector<TRackItem> items, std::int64_t slotCount,
                                 QObject* parent)
    : QObject(parent), items_(std::move(items)), slotCount_(slotCount)
{
}

TRackMetrics TRackTextObject::Metrics(const QFont& font, QPaintDevice* device) const
{
    const QFontMetricsF metrics = device ? QFontMetricsF(font, device) : QFontMetricsF(font);
    TRackMetrics rack;
    rack.numberHeight = metrics.height() * 1.1;
    rack.digitWidth = metrics.horizontalAdvance(QLatin1Char('0'));
    rack.markerWidth = std::max(4.0, metrics.height() / 2);
    rack.gap = metrics.height();
    rack.padding = metrics.height() / 7; // room for the crate's frame
    rack.maxSlotWidth = metrics.height() * 5;
    return rack;
}

QSizeF TRackTextObject::intrinsicSize(QTextDocument* doc, int, const QTextFormat&)
{
    QPaintDevice* device = doc->documentLayout()->paintDevice();
    const QFontMetricsF metrics =
        device ? QFontMetricsF(doc->defaultFont(), device) : QFontMetricsF(doc->defaultFont());
    double width = doc->textWidth() > 0 ? doc->textWidth() : doc->pageSize().width();
    if (width <= 0)
        width = metrics.averageCharWidth() * 100;
    // Room for the paragraph's margins and the frame's, so it never wraps.
    width -= 2 * doc->documentMargin() + metrics.averageCharWidth() * 2;
    return {std::max(width, metrics.averageCharWidth() * 20), metrics.height() * 7};
}

void TRackTextObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int,
                                 const QTextFormat&)
{
    TRackPaintOptions options;
    options.font = doc->defaultFont();
    const QFontMetricsF font(options.font, painter->device());
    options.lineWidth = std::max(1.0, font.height() / 14);
    painter->save();
    painter->setFont(options.font);
    PaintRack(*painter, items_,
              RackLayout(items_, slotCount_, rect, Metrics(options.font, painter->device())),
              options);
    painter->restore();
}

void TRackTextObject::Insert(QTextDocument& document, const QString& placeholder,
                             std::vector<TRackItem> items, std::int64_t slotCount)
{
    QTextCursor found = document.find(placeholder);
    if (found.isNull())
        return;
    auto* drawing = new TRackTextObject(std::move(items), slotCount, &document);
    document.documentLayout()->registerHandler(kType, drawing);
    QTextCharFormat format;
    format.setObjectType(kType);
    found.insertText(QString(QChar::ObjectReplacementCharacter), format);
}
