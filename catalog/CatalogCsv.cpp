// SPDX-License-Identifier: MIT
#include "catalog/CatalogCsv.h"

#include "base/CsvField.h"
#include "catalog/CatalogCrateTypes.h"

#include <QBuffer>
#include <QStringDecoder>

QString CatalogCsvRecord(const QStringList& fields, QChar separator)
{
    QStringList written;
    for (const QString& field : fields)
        written << CsvField(field, separator);
    return written.join(separator) + QStringLiteral("\r\n");
}

QByteArray CatalogCsvBytes(const QString& text)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

namespace {

constexpr qint64 kChunkBytes = 64 << 10;

} // namespace

CsvRecordReader::CsvRecordReader(QIODevice& device, const QString& file)
    : device_(device), file_(file), decoder_(QStringDecoder::Utf8)
{
    const QByteArray mark = device_.peek(3);
    if (mark == "\xEF\xBB\xBF")
        device_.skip(3);
    // The separator is told by the caption row.
    while (!text_.contains(u'\n') && Fill()) {
    }
    const qsizetype firstBreak = text_.indexOf(u'\n');
    const QStringView captions = QStringView(text_).left(firstBreak < 0 ? text_.size() : firstBreak);
    separator_ = captions.contains(u';') ? QChar(u';') : QChar(u',');
}

bool CsvRecordReader::Fill()
{
    if (ended_)
        return false;
    const QByteArray bytes = device_.read(kChunkBytes);
    if (bytes.isEmpty()) {
        ended_ = true;
        text_ += decoder_(QByteArray()); // an incomplete sequence at the end shows as an error
        if (decoder_.hasError())
            throw ECatalogCsvError(
                QStringLiteral("%1: not UTF-8 text; save it from the spreadsheet as \"CSV UTF-8\"")
                    .arg(file_)
                    .toStdString());
        return false;
    }
    // Drop what has been parsed before taking more.
    text_.remove(0, position_);
    position_ = 0;
    text_ += decoder_(bytes);
    if (decoder_.hasError())
        throw ECatalogCsvError(
            QStringLiteral("%1: not UTF-8 text; save it from the spreadsheet as \"CSV UTF-8\"")
                .arg(file_)
                .toStdString());
    return true;
}

QChar CsvRecordReader::At(qsizetype ahead)
{
    while (position_ + ahead >= text_.size())
        if (!Fill())
            return QChar();
    return text_[position_ + ahead];
}

bool CsvRecordReader::Next(CsvRecord& record)
{
    record.fields.clear();
    if (At(0).isNull() && position_ >= text_.size())
        return false;
    record.line = ++line_;
    QString field;
    bool quoted = false;
    for (;;) {
        const QChar c = At(0);
        if (c.isNull() && (position_ >= text_.size())) {
            if (quoted)
                throw ECatalogCsvError(QStringLiteral("%1 line %2: a quoted field is never closed")
                                           .arg(file_)
                                           .arg(record.line)
                                           .toStdString());
            record.fields << field;
            return true; // the last record without a line break
        }
        ++position_;
        if (quoted) {
            if (c == u'"' && At(0) == u'"') {
                field += u'"';
                ++position_;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator_) {
            record.fields << field;
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && At(0) == u'\n')
                ++position_;
            record.fields << field;
            return true;
        } else {
            field += c;
        }
    }
}

CsvTable ParseCatalogCsv(const QByteArray& bytes, const QString& file)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    CsvRecordReader reader(buffer, file);
    CsvTable table;
    table.separator = reader.Separator();
    CsvRecord record;
    while (reader.Next(record))
        table.records.push_back(record);
    return table;
}

namespace {

QString Beside(const QString& blocksCsv, const QString& suffix)
{
    QString base = blocksCsv;
    if (base.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        base.chop(4);
    return base + suffix;
}

} // namespace

QString CategoriesCsvPath(const QString& blocksCsv)
{
    return Beside(blocksCsv, QStringLiteral("-categories.csv"));
}

QString CratesCsvPath(const QString& blocksCsv)
{
    return Beside(blocksCsv, QStringLiteral("-crates.csv"));
}

QStringList BlockCsvCaptions()
{
    return {QStringLiteral("IDENT"),         QStringLiteral("NAME_RUS"),
            QStringLiteral("VIPR"),          QStringLiteral("SLOTS_COUNT"),
            QStringLiteral("V5"),            QStringLiteral("V7"),
            QStringLiteral("V_7"),           QStringLiteral("TOTAL_POWER"),
            QStringLiteral("CATEGORY"),      QStringLiteral("SUB_CATEGORY"),
            QStringLiteral("CATEGORY_NAME"), QStringLiteral("SUB_CATEGORY_NAME")};
}

QStringList CategoryCsvCaptions()
{
    return {QStringLiteral("CATEGORY"), QStringLiteral("CATEGORY_NAME"),
            QStringLiteral("SUB_CATEGORY"), QStringLiteral("SUB_CATEGORY_NAME")};
}
