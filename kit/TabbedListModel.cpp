// SPDX-License-Identifier: MIT
#include "kit/TabbedListModel.h"

#include "kit/TabbedListBox.h"

#include <algorithm>
#include <cstring>

TTabbedListModel::TTabbedListModel(TTabbedListBox& list) : QAbstractListModel(&list), list_(list) {}

int TTabbedListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : announced_;
}

QVariant TTabbedListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= announced_)
        return {};
    if (role == Qt::DisplayRole)
        return Row(index.row());
    if (role == TTabbedListBox::kRowDataRole)
        return RowData(index.row());
    if (const QVariant stored = RoleValue(index.row(), role); stored.isValid())
        return stored;
    // Screen readers read the fields by their captions rather than the tabs.
    if (role == Qt::AccessibleTextRole)
        return list_.AccessibleRowText(index.row());
    return list_.RowRoleData(index.row(), role);
}

bool TTabbedListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= announced_)
        return false;
    return list_.RowRoleRequested(index.row(), role, value);
}

Qt::ItemFlags TTabbedListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (userCheckable_)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant TTabbedListModel::RoleValue(int index, int role) const
{
    if (roles_.isEmpty())
        return {};
    return roles_[index].value(role);
}

void TTabbedListModel::SetRoleValue(int index, int role, const QVariant& value)
{
    // The per-row values exist only once some row has one, so a list that
    // never uses them costs nothing per row.
    if (roles_.isEmpty()) {
        if (!value.isValid())
            return;
        roles_.resize(Count());
    }
    if (value.isValid())
        roles_[index].insert(role, value);
    else
        roles_[index].remove(role);
    if (index < announced_) {
        const QModelIndex changed = this->index(index);
        Q_EMIT dataChanged(changed, changed, {role});
    }
}

QString TTabbedListModel::Row(int index) const
{
    return QString::fromUtf8(RowUtf8(index));
}

QByteArrayView TTabbedListModel::RowUtf8(int index) const
{
    const qsizetype start = starts_[index];
    const qsizetype end = index + 1 < starts_.size() ? starts_[index + 1] : text_.size();
    return QByteArrayView(text_).sliced(start, end - start);
}

QByteArray TTabbedListModel::RowData(int index) const
{
    const qsizetype start = dataStarts_[index];
    const qsizetype end = index + 1 < dataStarts_.size() ? dataStarts_[index + 1] : data_.size();
    return data_.mid(start, end - start);
}

void TTabbedListModel::AppendUtf8(QByteArrayView row, QByteArrayView data, bool announce)
{
    // The buffers grow geometrically on their own; a failure to store
    // anything takes back what was stored, so the rows stay as they were.
    const qsizetype start = text_.size();
    const qsizetype dataStart = data_.size();
    try {
        // Grown by resizing, which reallocates in place as QString does
        // (QByteArray::append copied its whole buffer at each growth, the
        // copy of a million rows blocking the window for 150 ms), and
        // leaves the room not yet filled untouched, so not resident.
        text_.resize(start + row.size());
        if (!row.isEmpty()) // an empty view may have no bytes at all
            std::memcpy(text_.data() + start, row.data(), static_cast<std::size_t>(row.size()));
        data_.append(data);
        starts_.append(start);
        dataStarts_.append(dataStart);
        if (!roles_.isEmpty())
            roles_.append(QHash<int, QVariant>());
    } catch (...) {
        text_.truncate(start);
        data_.truncate(dataStart);
        const qsizetype rows = std::min<qsizetype>(starts_.size(), dataStarts_.size());
        starts_.resize(rows);
        dataStarts_.resize(rows);
        if (roles_.size() > rows)
            roles_.resize(rows);
        throw;
    }
    if (announce)
        Announce();
}

void TTabbedListModel::Announce()
{
    // Every fill ends here, one with no rows too.
    GiveBackSlack();
    if (announced_ == Count())
        return;
    beginInsertRows(QModelIndex(), announced_, Count() - 1);
    announced_ = Count();
    endInsertRows();
}

void TTabbedListModel::Remove(int index)
{
    Announce();
    const QByteArrayView row = RowUtf8(index);
    const qsizetype start = starts_[index];
    const qsizetype length = row.size();
    const qsizetype dataStart = dataStarts_[index];
    const qsizetype dataLength = RowData(index).size();
    beginRemoveRows(QModelIndex(), index, index);
    text_.remove(start, length);
    starts_.removeAt(index);
    for (qsizetype i = index; i < starts_.size(); ++i)
        starts_[i] -= length;
    data_.remove(dataStart, dataLength);
    dataStarts_.removeAt(index);
    for (qsizetype i = index; i < dataStarts_.size(); ++i)
        dataStarts_[i] -= dataLength;
    if (!roles_.isEmpty())
        roles_.removeAt(index);
    announced_ = Count();
    endRemoveRows();
}

namespace {

// A list filled again and again, search after search, keeps the memory of
// its rows when it is emptied: the next fill writes into pages it already
// has instead of asking the system for fresh ones (a page fault on each,
// and a copy of the rows so far each time a buffer outgrows its block).
// Once the rows are in, a buffer holding more than twice what they need,
// and more than this, gives the rest back: memory follows the largest
// recent fill, never a fill long past.
constexpr qsizetype kKeptBytes = qsizetype{32} << 20;

template <class Buffer> qsizetype BytesOf(qsizetype elements)
{
    return elements * static_cast<qsizetype>(sizeof(typename Buffer::value_type));
}

template <class Buffer> void SqueezeIfSlack(Buffer& buffer)
{
    const qsizetype held = BytesOf<Buffer>(buffer.capacity());
    if (held > kKeptBytes && held > 2 * BytesOf<Buffer>(buffer.size()))
        buffer.squeeze();
}

} // namespace

void TTabbedListModel::RemoveAll()
{
    beginResetModel();
    // resize(0) keeps the capacity of a buffer not shared.
    text_.resize(0);
    starts_.resize(0);
    data_.resize(0);
    dataStarts_.resize(0);
    roles_ = QList<QHash<int, QVariant>>();
    announced_ = 0;
    endResetModel();
}

void TTabbedListModel::GiveBackSlack()
{
    SqueezeIfSlack(text_);
    SqueezeIfSlack(starts_);
    SqueezeIfSlack(data_);
    SqueezeIfSlack(dataStarts_);
}
