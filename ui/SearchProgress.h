// SPDX-License-Identifier: MIT
#pragma once

// The window's side of a long catalog query. A query still running after
// kShowAfterMs shows a window-modal progress dialog, "Поиск в каталоге…"
// with the rows read so far and «ОТМЕНА»; the dialog is kept alive by
// processing events from SQLite's progress handler, on the one thread the
// program has. Cancel interrupts the statement, whose query then fails
// with EQueryCancelled. A query that ends sooner shows nothing.

#include "catalog/QueryProgress.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include <cstdint>

class QWidget;
class TSQLiteDatabase;

class TSearchProgress : public QObject, public TQueryProgress {
    Q_OBJECT
public:
    // A window that does not answer for a tenth of a second is felt as
    // frozen: by then the dialog, with its cancel button, is up (building
    // and painting it the first time takes a few tens of milliseconds).
    static constexpr int kShowAfterMs = 60;
    static constexpr int kEventsEveryMs = 40;

    // `window` parents the dialog; `database` is the connection whose
    // queries this follows, interrupted on cancel. Neither is owned.
    TSearchProgress(QWidget* window, TSQLiteDatabase& database);
    ~TSearchProgress() override;

    void Started() override;
    bool Continue(std::uint64_t rowsRead) noexcept override;
    void Finished() noexcept override;

    // The dialog while it is shown, else null.
    QProgressDialog* Dialog() const { return dialog_; }
    // How many times a dialog has been shown.
    int DialogsShown() const { return dialogsShown_; }

    // "Поиск в каталоге…" and the rows read so far.
    static QString LabelText(std::uint64_t rowsRead);

    // Many short queries as one piece of work (the blocks of a basket file
    // looked up one by one): no query alone runs long enough to show the
    // dialog, but together they may. While a task is open the queries'
    // own starts and ends pass unnoticed; the dialog comes up once the
    // task has run kShowAfterMs, says how many of the task's items are
    // done, and stays until the task ends. `Step` keeps it painted and
    // answers whether to go on (false once ОТМЕНА was pressed).
    class Task {
    public:
        Task(TSearchProgress& progress, QString label);
        ~Task();
        Task(const Task&) = delete;
        Task& operator=(const Task&) = delete;
        bool Step(std::uint64_t done) noexcept;
        // Shows the dialog at once, for a task known to be long before its
        // first step (a large file to read first).
        void ShowNow();

    private:
        TSearchProgress& progress_;
    };
    // The task's label and the items done so far.
    static QString TaskLabelText(const QString& label, std::uint64_t done);

    // Keeps the dialog that the queries or the task inside it showed up to
    // the end of the work that follows them (a million rows going into the
    // list, a basket replaced), so that the window is never left without
    // it for that long: when the cover is lifted, the window handles its
    // events once under the dialog, laying out and painting what changed,
    // and then the dialog closes. A cover is lifted when it ends, or
    // earlier by Lift, before anything else is shown. Nothing happens when
    // no dialog was shown.
    class Cover {
    public:
        explicit Cover(TSearchProgress& progress);
        ~Cover();
        Cover(const Cover&) = delete;
        Cover& operator=(const Cover&) = delete;
        // Between two long steps of the work covered: the dialog, when
        // shown, paints and hears its button. False once ОТМЕНА was pressed.
        bool Tick() noexcept;
        void Lift() noexcept;

    private:
        TSearchProgress* progress_; // null once lifted
    };

private:
    void ShowDialog();
    void Cancel();
    // Shows the dialog once the work has run long enough, and keeps it
    // painted with the rows read or the task's steps done, `count`; false
    // once ОТМЕНА was pressed.
    bool Ticked(std::uint64_t count) noexcept;
    // While the dialog is shown, the window handles the events waiting.
    void HandleEventsUnderDialog() noexcept;
    // Closes the dialog unless a task or a cover keeps it.
    void CloseUnlessKept() noexcept;

    QWidget* window_;
    TSQLiteDatabase& database_;
    QElapsedTimer running_;
    QElapsedTimer sinceEvents_;
    QPointer<QProgressDialog> dialog_;

    bool cancelled_ = false;
    int dialogsShown_ = 0;
    // The open task's label; null when no task is open.
    QString taskLabel_;
    std::uint64_t taskDone_ = 0;
    int covers_ = 0;
};
