// SPDX-License-Identifier: MIT
#include "CatalogCsv.h"

#include "CatalogCrateTypes.h"

#include <QStringDecoder>

QChar CatalogCsvSeparator(const QString& decimalSeparator)
{
    return decimalSeparator.contains(u',') ? QChar(u';') : QChar(u',');
}

QString CatalogCsvRecord(const QStringList& fields, QChar separator)
{
    QStringList written;
    for (const QString& field : fields) {
        const bool quote = field.contains(separator) || field.contains(u'"') ||
                           field.contains(u'\r') || field.contains(u'\n');
        if (!quote) {
            written << field;
            continue;
        }
        QString quoted = field;
        quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        written << u'"' + quoted + u'"';
    }
    return written.join(separator) + QStringLiteral("\r\n");
}

QByteArray CatalogCsvBytes(const QString& text)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

CsvTable ParseCatalogCsv(const QByteArray& bytes, const QString& file)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(body);
    if (decoder.hasError())
        throw ECatalogCsvError(
            QStringLiteral("%1: not UTF-8 text; save it from the spreadsheet as \"CSV UTF-8\"")
                .arg(file)
                .toStdString());

    CsvTable table;
    const qsizetype firstBreak = text.indexOf(u'\n');
    const QStringView captions = QStringView(text).left(firstBreak < 0 ? text.size() : firstBreak);
    table.separator = captions.contains(u';') ? QChar(u';') : QChar(u',');

    CsvRecord record;
    record.line = 1;
    QString field;
    bool quoted = false;
    qint64 quoteLine = 0;
    const auto endField = [&] {
        record.fields << field;
        field.clear();
    };
    const auto endRecord = [&] {
        endField();
        table.records.push_back(record);
        record.fields.clear();
        record.line = static_cast<qint64>(table.records.size()) + 1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            quoteLine = record.line;
        } else if (c == table.separator) {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRecord();
        } else {
            field += c;
        }
    }
    if (quoted)
        throw ECatalogCsvError(
            QStringLiteral("%1 line %2: a quoted field is never closed").arg(file).arg(quoteLine).toStdString());
    if (!field.isEmpty() || !record.fields.isEmpty())
        endRecord(); // the last record without a line break
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
