// SPDX-License-Identifier: MIT
#include "exchange/RackTextObject.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

// The resolution QTextDocument's layout takes frame margins to be in.
Q_GUI_EXPORT int qt_defaultDpiY();

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
    // Room for the page's margins and the paragraph's, so it never wraps
    // nor runs past the text's right edge. The root frame's margins, not
    // documentMargin(): printing lays out a copy with margins of its own
    // there, which the layout scales from the screen's resolution to the
    // device's as it scales every frame margin.
    const QTextFrameFormat page = doc->rootFrame()->frameFormat();
    const double toDevice = device ? device->logicalDpiY() / double(qt_defaultDpiY()) : 1.0;
    width -=
        (page.leftMargin() + page.rightMargin() + 2 * (page.padding() + page.border())) * toDevice +
        metrics.averageCharWidth() * 2;
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
