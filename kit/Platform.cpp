// SPDX-License-Identifier: MIT
#include "kit/Platform.h"

#include <QApplication>
#include <QFontDatabase>
#include <QMargins>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace {

// A shown, decorated top-level window tells what the window manager adds
// around a client area: its side border, its bottom border and, above the
// client area, the caption bar plus the top border.
bool MetricsFromShownWindow(WindowMetrics& metrics)
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* widget : windows) {
        if (!widget->isVisible() || widget->isMinimized())
            continue;
        const Qt::WindowType type = widget->windowType();
        if (type != Qt::Window && type != Qt::Dialog)
            continue;
        if (widget->windowFlags().testFlag(Qt::FramelessWindowHint))
            continue;
        const QWindow* window = widget->windowHandle();
        if (window == nullptr)
            continue;
        const QMargins margins = window->frameMargins();
        if (margins.left() <= 0 || margins.top() <= margins.bottom() || margins.bottom() < 0)
            continue;
        metrics.frameWidth = margins.left();
        metrics.frameHeight = margins.bottom();
        metrics.captionHeight = margins.top() - margins.bottom();
        return true;
    }
    return false;
}

} // namespace

WindowMetrics SystemWindowMetrics()
{
    WindowMetrics metrics; // 4, 4 and 18 where nothing better is known
    MetricsFromShownWindow(metrics);
    return metrics;
}

QIcon StockIcon(int identifier)
{
    QStyle::StandardPixmap pixmap;
    switch (identifier) {
    case IDI_HAND:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    case IDI_QUESTION:
        pixmap = QStyle::SP_MessageBoxQuestion;
        break;
    case IDI_EXCLAMATION:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    default:
        return QIcon();
    }
    return QApplication::style()->standardIcon(pixmap);
}

int StockIconSize()
{
    const int size = QApplication::style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    return size > 0 ? size : 32;
}

QFont FaceOrApplicationFamily(const QString& family, int pointSize)
{
    // Only a family of that very name counts (listed as "name [foundry]"
    // where two foundries have it): resolving aliases costs a fontconfig
    // substitution per call.
    const QString withFoundry = family + QStringLiteral(" [");
    const QStringList installed = QFontDatabase::families();
    for (const QString& name : installed) {
        if (name.compare(family, Qt::CaseInsensitive) == 0 ||
            name.startsWith(withFoundry, Qt::CaseInsensitive))
            return QFont(family, pointSize);
    }
    QFont font = QGuiApplication::font();
    font.setPointSize(pointSize);
    return font;
}

QFont FormFont()
{
    return FaceOrApplicationFamily(QStringLiteral("MS Sans Serif"), 8);
}

QFont ListFont()
{
    return FaceOrApplicationFamily(QStringLiteral("Verdana"), 8);
}
