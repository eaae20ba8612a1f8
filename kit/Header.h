// SPDX-License-Identifier: MIT
#pragma once

// A header of captioned sections with user-resizable widths. The width
// reported for the last section is always the rest of the client width.
// Screen readers find each section as a column header named by its caption.

#include <QList>
#include <QString>
#include <QWidget>

class THeader : public QWidget {
    Q_OBJECT
public:
    explicit THeader(QWidget* parent = nullptr);

    void AddSection(const QString& caption, int width);
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    QString SectionCaption(int index) const;
    // The stored width; for the last section the remainder of the client
    // width; 0 for an index outside the sections.
    int SectionWidth(int index) const;
    // Stores the width and repaints; a negative index is ignored.
    void SetSectionWidth(int index, int width);
    // Reported widths of all sections, in order.
    QList<int> SectionWidths() const;

    bool AllowResize() const { return allowResize_; }
    void SetAllowResize(bool allow) { allowResize_ = allow; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // On every pointer move while the user drags the right edge of `section`.
    void Sizing(int section, int width);
    // When the button is released in the resize zone of `section`'s right edge.
    void Sized(int section, int width);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Section {
        QString caption;
        int width = 0;
    };
    // The section whose right edge lies within 3 pixels of x, or -1
    // (never the last section).
    int EdgeAt(int x) const;
    int LeftOf(int index) const;
    bool InEdgeZone(int section, int x) const;

    QList<Section> sections_;
    bool allowResize_ = true;
    int dragSection_ = -1;
    int dragStartX_ = 0;
    int dragStartWidth_ = 0;
};
