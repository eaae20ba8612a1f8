// SPDX-License-Identifier: MIT
#include "ui/SearchProgress.h"

#include "ui/HandlerGuard.h"
#include "catalog/SQLiteTable3.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <utility>

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
    if (!taskLabel_.isNull())
        return; // one query of a task: the task's clock runs on
    cancelled_ = false;
    running_.start();
}

bool TSearchProgress::Continue(std::uint64_t rowsRead) noexcept
{
    // A long query of a task keeps the task's dialog going too.
    return Ticked(taskLabel_.isNull() ? rowsRead : taskDone_);
}

bool TSearchProgress::Ticked(std::uint64_t count) noexcept
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
            // Written only when shown: a query ticks thousands of times.
            dialog_->setLabelText(taskLabel_.isNull() ? LabelText(count)
                                                      : TaskLabelText(taskLabel_, count));
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
    CloseUnlessKept();
}

void TSearchProgress::CloseUnlessKept() noexcept
{
    // The dialog stays until the task ends, and until the last cover is lifted.
    if (!taskLabel_.isNull() || covers_ > 0)
        return;
    if (dialog_) {
        dialog_->hide();
        delete dialog_;
    }
}

QString TSearchProgress::TaskLabelText(const QString& label, std::uint64_t done)
{
    return QStringLiteral("%1\nПроверено блоков: %2").arg(label).arg(done);
}

TSearchProgress::Task::Task(TSearchProgress& progress, QString label) : progress_(progress)
{
    progress_.Started();
    progress_.taskLabel_ = label.isNull() ? QStringLiteral("") : std::move(label);
    progress_.taskDone_ = 0;
}

TSearchProgress::Task::~Task()
{
    progress_.taskLabel_ = QString();
    progress_.CloseUnlessKept();
}

void TSearchProgress::Task::ShowNow()
{
    if (!progress_.dialog_)
        progress_.ShowDialog();
}

bool TSearchProgress::Task::Step(std::uint64_t done) noexcept
{
    progress_.taskDone_ = done;
    return progress_.Ticked(done);
}

TSearchProgress::Cover::Cover(TSearchProgress& progress) : progress_(&progress)
{
    ++progress_->covers_;
}

TSearchProgress::Cover::~Cover()
{
    Lift();
}

bool TSearchProgress::Cover::Tick() noexcept
{
    if (!progress_)
        return true;
    progress_->HandleEventsUnderDialog();
    return !progress_->cancelled_;
}

void TSearchProgress::Cover::Lift() noexcept
{
    if (!progress_)
        return;
    TSearchProgress& progress = *std::exchange(progress_, nullptr);
    if (--progress.covers_ == 0) {
        // Twice: the first lays the window out, which asks for the paint
        // that the second carries out.
        progress.HandleEventsUnderDialog();
        progress.HandleEventsUnderDialog();
    }
    progress.CloseUnlessKept();
}

void TSearchProgress::HandleEventsUnderDialog() noexcept
{
    if (!dialog_)
        return;
    try {
        QCoreApplication::processEvents();
    } catch (...) {
        // Every handler runs inside the guard, so nothing should come here;
        // should anything, the work under the dialog goes on all the same.
    }
}

void TSearchProgress::ShowDialog()
{
    auto* dialog = new QProgressDialog(window_);
    dialog->setObjectName(QStringLiteral("SearchProgressDialog"));
    dialog->setWindowTitle(QStringLiteral("Veltrum Voltage Control Program"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setLabelText(taskLabel_.isNull() ? LabelText(0) : TaskLabelText(taskLabel_, 0));
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
