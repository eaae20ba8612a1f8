// SPDX-License-Identifier: MIT
#pragma once

// The window's own look: flat buttons and banner group boxes in the accent
// colour, painted directly rather than through a style sheet, which would
// restyle every widget of the window at start-up.

#include <QColor>
#include <QGroupBox>
#include <QPushButton>

inline const QColor kAccentColor(145, 155, 156);
// The focus ring of a flat button: black, two pixels wide, two pixels
// inside its edge.
inline const QColor kFocusRingColor(0, 0, 0);
inline constexpr int kFocusRingWidth = 2;
inline constexpr int kFocusRingInset = 2;

// A flat button in the accent colour with a black, centred caption that
// wraps, and a white shadow edge at the top and left (at the bottom and
// right while pressed). The focused button wears a black ring.
class TFlatButton : public QPushButton {
public:
    TFlatButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A group box framed in the accent colour, its caption on a banner centred
// on the top edge.
class TBannerGroupBox : public QGroupBox {
public:
    explicit TBannerGroupBox(const QString& title, QWidget* parent = nullptr);

    // QGroupBox's own, except that the title's part is measured once per
    // title, font and style: QGroupBox shapes the title on every call, and
    // the layouts of a window ask well over a hundred times while it starts.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    mutable QSize titleSize_;
    mutable QString measuredTitle_;
};
