// SPDX-License-Identifier: MIT
#pragma once

// Answers a real modal window from the event loop: once the application's
// active modal widget appears, `action` runs on it.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

inline void WhenModal(std::function<void(QWidget*)> action)
{
    auto* poll = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, tries, action = std::move(action)] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            action(modal);
        } else if (++*tries > 500) {
            poll->deleteLater();
            poll->stop();
            ADD_FAILURE() << "no modal window appeared";
        }
    });
    poll->start(10);
}

// Restores a hook's empty state when a test ends, also when it fails.
template <class Setter> class HookScope {
public:
    explicit HookScope(Setter setter) : setter_(setter) {}
    ~HookScope() { setter_({}); }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    Setter setter_;
};
