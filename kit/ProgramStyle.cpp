// SPDX-License-Identifier: MIT
#include "kit/ProgramStyle.h"

#include "kit/Platform.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QStyleFactory>
#include <QWidget>

#include <functional>

namespace {

// An icon engine that asks for the real icon the first time anything about
// the image is needed, and from then on answers from it.
class TDeferredIconEngine : public QIconEngine {
public:
    explicit TDeferredIconEngine(std::function<QIcon()> load) : load_(std::move(load)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, 1.0, mode, state);
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }

    bool isNull() override { return Icon().isNull(); }
    QString iconName() override { return Icon().name(); }
    QString key() const override { return QStringLiteral("TDeferredIconEngine"); }

    QIconEngine* clone() const override
    {
        auto* copy = new TDeferredIconEngine(load_);
        copy->icon_ = icon_;
        copy->loaded_ = loaded_;
        return copy;
    }

private:
    const QIcon& Icon()
    {
        if (!loaded_) {
            icon_ = load_();
            loaded_ = true;
        }
        return icon_;
    }

    std::function<QIcon()> load_;
    QIcon icon_;
    bool loaded_ = false;
};

} // namespace

TProgramStyle::TProgramStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
}

QIcon TProgramStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                  const QWidget* widget) const
{
    if (option != nullptr)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The widget may be gone by the time the icon is read.
    QPointer<QStyle> base(baseStyle());
    QPointer<QWidget> asker(const_cast<QWidget*>(widget));
    return QIcon(new TDeferredIconEngine([base, asker, standardIcon] {
        return base ? base->standardIcon(standardIcon, nullptr, asker.data()) : QIcon();
    }));
}

void ApplyProgramLook()
{
    // The windows' face is the application's: widgets Qt lays out while it
    // builds them (a line edit measures its empty text) then load no other.
    QApplication::setFont(FormFont());
    QApplication::setStyle(new TProgramStyle);
}
