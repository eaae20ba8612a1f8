// SPDX-License-Identifier: MIT
#include "kit/HeaderAccessible.h"

#include "kit/Header.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <vector>

namespace {

// One section; it has no widget of its own, so it asks the header.
class TAccessibleHeaderSection : public QAccessibleInterface {
public:
    TAccessibleHeaderSection(THeader* header, int section) : header_(header), section_(section) {}

    bool isValid() const override { return header_ && section_ < header_->SectionCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return header_ ? header_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return QAccessible::queryAccessibleInterface(header_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? header_->SectionCaption(section_).trimmed()
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        int left = 0;
        for (int i = 0; i < section_; ++i)
            left += header_->SectionWidth(i);
        const QRect local(left, 0, header_->SectionWidth(section_), header_->height());
        return QRect(header_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !header_ || !header_->isVisible();
        state.readOnly = true;
        return state;
    }

private:
    QPointer<THeader> header_;
    int section_;
};

class TAccessibleHeader : public QAccessibleWidget {
public:
    explicit TAccessibleHeader(THeader* header) : QAccessibleWidget(header, QAccessible::Row) {}
    ~TAccessibleHeader() override
    {
        for (const QAccessible::Id id : sections_)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return Header()->SectionCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        // Sections are only ever added: each keeps its interface, and so
        // its identity to the screen reader, for the header's life.
        while (static_cast<int>(sections_.size()) <= index) {
            auto* section =
                new TAccessibleHeaderSection(Header(), static_cast<int>(sections_.size()));
            sections_.push_back(QAccessible::registerAccessibleInterface(section));
        }
        return QAccessible::accessibleInterface(sections_[static_cast<size_t>(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

private:
    THeader* Header() const { return static_cast<THeader*>(widget()); }
    mutable std::vector<QAccessible::Id> sections_;
};

QAccessibleInterface* HeaderInterface(const QString& className, QObject* object)
{
    if (className == QLatin1String("THeader") && object != nullptr && object->isWidgetType())
        return new TAccessibleHeader(static_cast<THeader*>(object));
    return nullptr;
}

} // namespace

void InstallHeaderAccessibility()
{
    static const bool installed = (QAccessible::installFactory(HeaderInterface), true);
    Q_UNUSED(installed);
}
