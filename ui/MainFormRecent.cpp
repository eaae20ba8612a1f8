// SPDX-License-Identifier: MIT
// The basket files opened or saved last, offered under ОТКРЫТЬ, and the
// folder the file dialogs start in. The list and where it is kept are the
// exchange library's (RecentFiles.h); this file shows it and keeps it
// up to date as the file commands are used.

#include "ui/MainForm.h"

#include "exchange/MessageQuote.h"
#include "exchange/RecentFiles.h"
#include "ui/HandlerGuard.h"
#include "ui/Messages.h"
#include "kit/WidgetKit.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// "&3 crate.vbasket — /home/user/baskets": the number chooses it from the
// keyboard; an ampersand of the name stays an ampersand.
QString MenuText(int number, const QString& path)
{
    const QFileInfo file(path);
    QString text = QuoteForMessage(file.fileName()) + Text(u" — ") +
                   QuoteForMessage(QDir::toNativeSeparators(file.absolutePath()));
    text.replace(u'&', QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(number) + text;
}

} // namespace

void TMainForm::BuildRecentButton()
{
    RecentMenu = new QMenu(this);
    RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
    RecentMenu->setToolTipsVisible(true);
    // A flat button as its neighbours; pressed (mouse, Space), it drops the
    // menu down.
    RecentBtn = new TFlatButton(Text(u"▼"), RackGB);
    RecentBtn->setObjectName(QStringLiteral("RecentBtn"));
    RecentBtn->setMenu(RecentMenu);
    RecentBtn->setFocusPolicy(Qt::StrongFocus);
    RecentBtn->setAccessibleName(Text(u"Недавние файлы"));
    RecentBtn->setToolTip(Text(u"Недавние файлы корзин"));
    RecentBtn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    RecentBtn->setFixedWidth(RecentBtn->fontMetrics().height() + 12);
}

void TMainForm::WireRecentMenu()
{
    // Filled as it opens, so that the settings are read only when wanted.
    connect(RecentMenu, &QMenu::aboutToShow, this, GuardedSlot(&TMainForm::FillRecentMenu));
    connect(RecentMenu, &QMenu::triggered, this, [this](QAction* chosen) {
        const QString path = chosen->data().toString();
        if (!path.isEmpty())
            RunGuarded(this, [this, &path] { RecentMenuClick(path); });
    });
}

void TMainForm::FillRecentMenu()
{
    RecentMenu->clear();
    const QStringList& files = Recent().files;
    if (files.isEmpty()) {
        RecentMenu->addAction(Text(u"Нет недавних файлов"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        QAction* entry = RecentMenu->addAction(MenuText(i + 1, files[i]));
        entry->setData(files[i]);
        entry->setToolTip(QDir::toNativeSeparators(files[i]));
    }
}

void TMainForm::RecentMenuClick(const QString& path)
{
    // A file gone since is said, and leaves the list, before anything is
    // asked: there would be nothing to open.
    if (!QFileInfo::exists(path)) {
        ForgetRecentFile(path);
        ShowMessage(Text(kApplicationTitle),
                    Text(u"Файл \"%1\" не найден; он убран из списка недавних файлов.")
                        .arg(QuoteForMessage(QDir::toNativeSeparators(path))),
                    MessageKind::Warning);
        return;
    }
    if (!Devices.empty() && AskOkCancel(Text(kApplicationTitle),
                                        Text(u"Заменить текущую корзину?")) != MessageAnswer::Ok)
        return;
    UseFolderOf(path);
    OpenBasketFile(path);
}

// ---------------------------------------------------------------------------
// The list, read once and kept after every change

const RecentFiles& TMainForm::Recent()
{
    if (!recent_)
        recent_ = LoadRecentFiles(RecentFilesFile);
    return *recent_;
}

void TMainForm::UseFolderOf(const QString& path)
{
    KeepRecent(WithLastFolder(Recent(), QFileInfo(path).absolutePath()));
}

void TMainForm::UseRecentFile(const QString& path)
{
    KeepRecent(WithRecentFile(Recent(), path));
}

void TMainForm::ForgetRecentFile(const QString& path)
{
    KeepRecent(WithoutRecentFile(Recent(), path));
}

void TMainForm::KeepRecent(RecentFiles recent)
{
    if (recent_ && recent == *recent_)
        return;
    recent_ = std::move(recent);
    // A settings file that cannot be written costs only the list of the
    // next session: nothing is said, and this session keeps its list.
    SaveRecentFiles(RecentFilesFile, *recent_);
}
