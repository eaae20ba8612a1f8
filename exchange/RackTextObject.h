// SPDX-License-Identifier: MIT
#pragma once

// The crate's picture inside the report's text: drawn with QPainter when
// the document is painted, so a PDF holds it as vectors and text, sharp at
// any zoom. The picture spans the text's width.

#include "kit/RackPicture.h"

#include <QObject>
#include <QTextObjectInterface>

#include <cstdint>
#include <vector>

class QTextDocument;

class TRackTextObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    // The object type of the character that stands for the picture.
    static constexpr int kType = QTextFormat::UserObject + 1;

    TRackTextObject(std::vector<TRackItem> items, std::int64_t slotCount, QObject* parent);

    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;

    // Puts the picture in place of `placeholder` in `document`, which
    // then owns the drawing; nothing happens when the text is not there.
    static void Insert(QTextDocument& document, const QString& placeholder,
                       std::vector<TRackItem> items, std::int64_t slotCount);

private:
    TRackMetrics Metrics(const QFont& font, QPaintDevice* device) const;

    std::vector<TRackItem> items_;
    std::int64_t slotCount_;
};
