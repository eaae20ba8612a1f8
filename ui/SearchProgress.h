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

private:
    void ShowDialog();
    void Cancel();

    QWidget* window_;
    TSQLiteDatabase& database_;
    QElapsedTimer running_;
    QElapsedTimer sinceEvents_;
    QPointer<QProgressDialog> dialog_;
    bool cancelled_ = false;
    int dialogsShown_ = 0;
};
