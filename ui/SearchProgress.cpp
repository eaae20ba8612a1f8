// SPDX-License-Identifier: MIT
#include "ui/SearchProgress.h"

#include "ui/HandlerGuard.h"
#include "catalog/SQLiteTable3.h"

#include <QCoreApplication>
#include <QProgressDialog>

TSearchProgress::TSearchProgress(QWidget* window, TSQLiteDatabase& database)
    : QObject(nullptr), window_(window), database_(database)
{
}

TSearchProgress::~TSearchProgress()
{
    delete dialog_;
}

QString TSearchProgress::LabelText(std::uint64_t rowsRead)
{
    return QStringLiteral("Поиск в каталоге…\nПрочитано строк: %1").arg(rowsRead);
}

void TSearchProgress::Started()
{
    cancelled_ = false;
    running_.start();
}

bool TSearchProgress::Continue(std::uint64_t rowsRead) noexcept
{
    try {
        if (cancelled_)
            return false;
        if (!dialog_) {
            if (running_.elapsed() < kShowAfterMs)
                return true;
            ShowDialog();
        }
        if (sinceEvents_.elapsed() >= kEventsEveryMs) {
            dialog_->setLabelText(LabelText(rowsRead));
            // The only way the dialog paints and hears its cancel button
            // while the query holds the thread.
            QCoreApplication::processEvents(QEventLoop::AllEvents, kEventsEveryMs);
            sinceEvents_.restart();
        }
        return !cancelled_;
    } catch (...) {
        return false; // nothing may pass back through SQLite
    }
}

void TSearchProgress::Finished() noexcept
{
    if (dialog_) {
        dialog_->hide();
        delete dialog_;
    }
}

void TSearchProgress::ShowDialog()
{
    auto* dialog = new QProgressDialog(window_);
    dialog->setObjectName(QStringLiteral("SearchProgressDialog"));
    dialog->setWindowTitle(QStringLiteral("Veltrum Voltage Control Program"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setLabelText(LabelText(0));
    dialog->setCancelButtonText(QStringLiteral("ОТМЕНА"));
    dialog->setRange(0, 0); // how many rows are to come is not known
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    connect(dialog, &QProgressDialog::canceled, this,
            [this] { RunGuarded(window_, [this] { Cancel(); }); });
    dialog_ = dialog;
    ++dialogsShown_;
    dialog->show();
    QCoreApplication::processEvents();
    sinceEvents_.start();
}

void TSearchProgress::Cancel()
{
    cancelled_ = true;
    database_.Interrupt();
}
