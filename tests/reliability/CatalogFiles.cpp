// SPDX-License-Identifier: MIT
#include "CatalogFiles.h"

#include "kit/CheckList.h"
#include "WindowDriver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// SQLite's messages end in a letter, so the error box adds a full stop.
const QChar kAddedFullStop(u'.');

} // namespace

DirectoryContents ContentsOf(const QString& dir)
{
    DirectoryContents contents;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    const QDir base(dir);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = base.relativeFilePath(path);
        QByteArray what;
        QFile file(path);
        // Links and special files are named, never opened: a FIFO would
        // block, a link to /dev/zero would be read without end.
        if (it.fileInfo().isSymLink()) {
            what = "<link to " + QFile::encodeName(it.fileInfo().symLinkTarget()) + ">";
        } else if (it.fileInfo().isDir()) {
            what = QByteArrayLiteral("<dir>");
        } else if (!it.fileInfo().isFile()) {
            what = QByteArrayLiteral("<special>");
        } else if (!file.open(QIODevice::ReadOnly)) {
            what = QByteArrayLiteral("<unreadable>");
        } else {
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(&file);
            what = hash.result().toHex();
        }
        contents.push_back(name.toStdString() + ": " + what.toStdString());
    }
    std::sort(contents.begin(), contents.end());
    return contents;
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QString CompileFailure(const std::string& sql, const QString& sqliteMessage)
{
    return QStringLiteral("ОШИБКА ВЫПОЛНЕНИЯ SQL-ЗАПРОСА. \"") + QString::fromStdString(sql) +
           QStringLiteral("\" : ") + sqliteMessage + kAddedFullStop;
}

QString StepFailure(const std::string& sql, const QString& sqliteMessage)
{
    return QStringLiteral("НЕ УДАЛОСЬ ПОЛУЧИТЬ ДАННЫЕ. \"") + QString::fromStdString(sql) +
           QStringLiteral("\" : ") + sqliteMessage + kAddedFullStop;
}

QString BusyFailure(const std::string& sql)
{
    return QStringLiteral("НЕ УДАЛОСЬ ВЫПОЛНИТЬ SQL-ЗАПРОС \"") + QString::fromStdString(sql) +
           QStringLiteral("\" : SQLite ЗАНЯТ") + kAddedFullStop;
}

bool CrateTypeTickWorks(Window& window, int row)
{
    TickRackType(*window.form, row);
    for (int i = 0; i < window->RackTypeCL->Items().Count(); ++i)
        if ((window->RackTypeCL->RowState(i) == cbChecked) != (i == row))
            return false;
    return true;
}
