// SPDX-License-Identifier: MIT
#pragma once

// The rows of one column list; the list view only ever reads them through
// here. All rows share one text buffer, each row being a range of it, so a
// list of a million rows costs its characters and one offset per row rather
// than a string object and a heap block per row. The buffer holds UTF-8: a
// row is decoded only when it is shown or read, so a fill of rows that
// come as UTF-8 (a catalog search) stores them without decoding any, and a
// code of Latin letters takes one byte a character. Rows may be stored
// before the view hears of them: rowCount() gives the announced rows, and
// Announce() tells the view about the rest in one notification.

#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

class TTabbedListBox;

class TTabbedListModel : public QAbstractListModel {
public:
    // The list answers what a row does not store itself: its accessible
    // text, roles of the list's own, and requests from assistive technology.
    explicit TTabbedListModel(TTabbedListBox& list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Only what a user may ask for through assistive technology: the list
    // decides, as it does for a click.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void SetUserCheckable(bool checkable) { userCheckable_ = checkable; }

    // What row `index` holds for `role` of its own; nothing when unset.
    QVariant RoleValue(int index, int role) const;
    // Stores `value` (an invalid one clears it) and tells the view.
    void SetRoleValue(int index, int role, const QVariant& value);

    // Row `index` of the stored rows, decoded as QString::fromUtf8 decodes
    // its bytes.
    QString Row(int index) const;
    // Its bytes as stored; valid until the rows change.
    QByteArrayView RowUtf8(int index) const;
    // The bytes stored with row `index`; empty when none were given.
    QByteArray RowData(int index) const;
    // Stored rows, announced or not.
    int Count() const { return static_cast<int>(starts_.size()); }

    // Stores the row, given as UTF-8, and its bytes; the view hears of it
    // at once unless `announce` is false. A row that cannot be stored
    // leaves the rows as they were and throws.
    void AppendUtf8(QByteArrayView row, QByteArrayView data, bool announce);
    // Tells the view about the rows stored since the last announcement.
    void Announce();
    void Remove(int index);
    // Empties the list, keeping the memory of its rows for the next fill.
    void RemoveAll();
    // Bytes held for the rows' text, stored or not yet.
    qsizetype TextBytesHeld() const { return text_.capacity(); }

private:
    // Gives back what the buffers hold beyond twice the rows' need, when
    // that is much (see the source).
    void GiveBackSlack();

    TTabbedListBox& list_;
    QByteArray text_; // UTF-8
    QList<qsizetype> starts_;
    QByteArray data_; // the bytes of every row, one after another
    QList<qsizetype> dataStarts_;
    // Values rows hold for roles of their own (a check state, a tooltip):
    // empty, or one table per stored row.
    QList<QHash<int, QVariant>> roles_;
    bool userCheckable_ = false;
    int announced_ = 0;
};
