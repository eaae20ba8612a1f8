// SPDX-License-Identifier: MIT
#pragma once

// A list whose rows are tab-separated strings, drawn in columns at tab
// stops that follow a header's sections. Rows live in a model so that the
// list stays responsive with a million rows.

#include "kit/AutomaticStops.h"
#include <QByteArray>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QList>
#include <QListView>
#include <QString>
#include <QStringList>
#include <QStyleOptionViewItem>
#include <QVariant>

class QPainter;
class THeader;
class TTabbedListModel;

enum TTabStopsMode { tsmManual, tsmAutomatic };

// A row as a screen reader reads it: each non-empty field after its
// caption ("ШИФР MK1-03, +5V, А 1"), fields without a caption alone,
// separated by commas.
QString CaptionedFields(const QList<QStringView>& fields, const QStringList& captions);

// The rows of a list. Appending or deleting a row in automatic mode, with
// the update counter at exactly 0, recomputes the list's tab stops from the
// rows; a fill of n rows costs O(n).
class TListItems {
public:
    explicit TListItems(class TTabbedListBox& owner);
    // Throws EListError "Unable to insert a line" when the row cannot be stored.
    void Add(const QString& row);
    // The same for a row given as a view; the row is copied.
    void Add(QStringView row);
    // A row that carries bytes of its own (a search row's exact block
    // code), kept with the row and handed back by Data; rows added without
    // them carry none.
    void Add(QStringView row, QByteArrayView data);
    // The same for a row given as UTF-8, stored as it comes: shown and read
    // back as QString::fromUtf8 decodes it.
    void AddUtf8(QByteArrayView row, QByteArrayView data);
    // Throws EListError "Row parameter out of range" outside the rows.
    QByteArray Data(int index) const;
    void Delete(int index);
    void Clear();
    int Count() const;
    QString operator[](int index) const;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

private:
    // The append batch is reached only through TListAppendBatch, so that it
    // is never mistaken for BeginUpdate/EndUpdate, which only hold painting.
    friend class TListAppendBatch;
    friend class TTabbedListBox;
    // Between BeginAppendBatch and the matching EndAppendBatch, Add stores
    // each row at once (Count, operator[] and ColumnText see it), but the
    // view hears of the new rows, and the automatic tab stops are worked
    // out, once when the outermost batch ends. The list is then exactly as
    // the same appends one by one would leave it; a fill of a million rows
    // just costs one notification instead of a million. Anything else done
    // to the list inside a batch first brings it up to date.
    void BeginAppendBatch();
    void EndAppendBatch();
    bool InAppendBatch() const { return batchDepth_ > 0; }

    TTabbedListBox& owner_;
    int updateCount_ = 0;
    int batchDepth_ = 0;
};

// Holds an append batch open for its lifetime (TListItems::BeginAppendBatch).
class TListAppendBatch {
public:
    explicit TListAppendBatch(TListItems& items) : items_(items) { items_.BeginAppendBatch(); }
    ~TListAppendBatch() { items_.EndAppendBatch(); }
    TListAppendBatch(const TListAppendBatch&) = delete;
    TListAppendBatch& operator=(const TListAppendBatch&) = delete;

private:
    TListItems& items_;
};

class TTabbedListBox : public QListView {
    Q_OBJECT
public:
    explicit TTabbedListBox(QWidget* parent = nullptr);
    ~TTabbedListBox() override;

    // The model role under which a row's own bytes (TListItems::Data) are
    // given, as a QByteArray.
    static constexpr int kRowDataRole = Qt::UserRole + 1;

    TListItems& Items() { return items_; }
    const TListItems& Items() const { return items_; }
    // All rows go and ItemIndex becomes -1; the tab stops stay.
    void Clear();

    int ItemIndex() const;
    void SetItemIndex(int index); // raises no Click; an index outside the rows selects none

    QList<int> TabStops() const;
    void SetTabStops(const QList<int>& stops);
    TTabStopsMode TabStopsMode() const { return tabStopsMode_; }
    void SetTabStopsMode(TTabStopsMode mode);
    // a: average character width of the list's font, in pixels.
    int AverageCharWidth() const { return averageCharWidth_; }

    // Field `column` of row `row`. Throws EListError "Row parameter out of
    // range" or "Column parameter out of range".
    QString ColumnText(int column, int row) const;
    // Derives the existing tab stops from the header's section widths, and
    // takes its captions to name the fields of each row to screen readers.
    void UpdateFromHeader(const THeader& header);

    // Colour of the row text; drawn unchanged even while the list is disabled.
    QColor FontColor() const;
    void SetFontColor(const QColor& color);

    // Fixed row height in pixels; 0 (the default) follows the font.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The height every row is drawn with.
    int RowHeight() const;

    // Pixel offset of field 0 from the list's left edge (2, or 23 in a check list).
    virtual int TextLeft() const { return 2; }

    // What the list's model gives for row `row` in an item role other than
    // the row's text, its bytes, a value the row holds (SetRowRole) and the
    // accessible name; nothing by default.
    virtual QVariant RowRoleData(int row, int role) const;
    // The accessible name of row `row`: its fields after the header's captions.
    virtual QString AccessibleRowText(int row) const;

Q_SIGNALS:
    // The user selected a row with the mouse or the keyboard.
    void Click();
    // The user double-clicked a row with the left button.
    void DblClick();

protected:
    // End with no current row (right after the chosen row was deleted)
    // goes to the last row; QListView would take the first.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Widths of field 0 grow by this much in automatic stops (the check glyph).
    virtual int FieldZeroExtra() const { return 0; }
    // Row height when no fixed height is set.
    virtual int AutomaticRowHeight() const;
    // Draws row `row` into option.rect: background, then the fields at the stops.
    virtual void PaintRow(QPainter& painter, const QStyleOptionViewItem& option, int row) const;
    // The pieces every row drawing shares: whether the row is drawn as
    // selected (only while the list is enabled), the background of a row,
    // and the colour of its text, `normal` unless selected.
    bool DrawnSelected(const QStyleOptionViewItem& option) const;
    QBrush RowBackground(bool selected) const;
    QColor RowTextColor(bool selected, const QColor& normal) const;
    // Values a row holds for a role of its own, kept in the model with the
    // row (they follow it when rows before it go). Throw EListError "Row
    // parameter out of range" outside the rows; an invalid value clears.
    QVariant RowRole(int row, int role) const;
    void SetRowRole(int row, int role, const QVariant& value);
    // Rows carry Qt::ItemIsUserCheckable.
    void SetRowsUserCheckable(bool checkable);
    // Assistive technology asks to set `role` of row `row` (a check box's
    // toggle action); true when the list did. Refused by default.
    virtual bool RowRoleRequested(int row, int role, const QVariant& value);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override; // tooltips for rows wider than the list

    TTabbedListModel* Model() const { return model_; }
    void RowsChanged(); // called by TListItems after an append or delete
    // Lays the rows out again after their height has changed.
    void RowHeightChanged();
    // Tells views that what RowRoleData gives for row `row` has changed.
    void RowRoleDataChanged(int row);
    // Left pixel of each field of row `row`, and the pixel just past its end.
    QList<int> FieldPositionsOfRow(int row, int* end = nullptr) const;

private:
    friend class TListItems;
    friend class TTabbedListDelegate;
    friend class TTabbedListModel;

    void AppendRow(QStringView row, QByteArrayView rowData = {});
    void AppendRowUtf8(QByteArrayView row, QByteArrayView rowData);
    void DeleteRow(int index);
    void RemoveAllRows();
    void EmitClickIfChanged(int before);

    // Automatic stops are kept pending and measured when first looked at
    // (TListStops).
    void RecomputeStops();
    TStopsSource CurrentStopsSource() const;
    const QList<int>& MeasuredStops() const;
    void EndOfAppendBatch();
    QList<int> StopPixels() const;

    TTabbedListModel* model_;
    TListItems items_;
    QStringList captions_; // the header's, trimmed, from UpdateFromHeader
    TTabStopsMode tabStopsMode_ = tsmAutomatic;
    int averageCharWidth_ = 6;
    QColor fontColor_;
    int itemHeight_ = 0;
    int maxTabs_ = 0; // the most tabs in any row

    mutable TListStops stops_;
    // The stops were marked pending by the first append of the open batch.
    bool stopsFollowBatch_ = false;
};
