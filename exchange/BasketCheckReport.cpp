// SPDX-License-Identifier: MIT
#include "exchange/BasketCheckReport.h"

#include "exchange/BasketCsv.h"
#include "base/ProgramVersion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// The verdict's key in JSON.
QString VerdictKey(const BasketCheckResult& result)
{
    if (!result.Readable())
        return QStringLiteral("unreadable");
    switch (result.verdict) {
    case BasketVerdict::Fits:
        break;
    case BasketVerdict::Near:
        return QStringLiteral("near");
    case BasketVerdict::Over:
        return QStringLiteral("over");
    }
    return QStringLiteral("fits");
}

// The verdict in the words of the summary line, for the CSV's state column.
QString VerdictWords(const BasketCheckResult& result)
{
    if (!result.Readable())
        return Text(u"НЕ ПРОЧИТАН");
    switch (result.verdict) {
    case BasketVerdict::Fits:
        break;
    case BasketVerdict::Near:
        return Text(u"БЛИЗКО К ПРЕДЕЛУ");
    case BasketVerdict::Over:
        return Text(u"ПРЕВЫШЕНИЕ");
    }
    return Text(u"В ПРЕДЕЛАХ");
}

// The verdict sentence, or what stands for it where the window shows none.
QString VerdictLine(const BasketCheckResult& result)
{
    return result.budget ? result.verdictSentence : Text(u"КОРЗИНА ПУСТА");
}

QString StateKey(LimitState state)
{
    switch (state) {
    case LimitState::Within:
        break;
    case LimitState::Near:
        return QStringLiteral("near");
    case LimitState::Over:
        return QStringLiteral("over");
    }
    return QStringLiteral("within");
}

QJsonArray StringArray(const QStringList& texts)
{
    QJsonArray array;
    for (const QString& text : texts)
        array.append(text);
    return array;
}

QJsonArray LimitsJson(const BasketCheckResult& result, const QString& separator)
{
    QJsonArray limits;
    if (!result.budget)
        return limits;
    for (const LimitUse& use : result.budget->limits)
        limits.append(QJsonObject{
            {QStringLiteral("name"), LimitName(use.kind)},
            {QStringLiteral("limit"), use.limit.Format(separator)},
            {QStringLiteral("total"), use.sum.Format(separator)},
            {QStringLiteral("headroom"), use.headroom.Format(separator)},
            {QStringLiteral("percentUsed"),
             use.percentUsed ? QJsonValue(use.percentUsed->Format(separator)) : QJsonValue()},
            {QStringLiteral("state"), StateKey(use.state)},
        });
    return limits;
}

QJsonObject FileJson(const BasketCheckResult& result, const QString& separator)
{
    QJsonObject file{
        {QStringLiteral("file"), result.file},
        {QStringLiteral("verdict"), VerdictKey(result)},
    };
    if (!result.Readable()) {
        file.insert(QStringLiteral("error"), result.error);
        return file;
    }
    file.insert(QStringLiteral("crateType"), result.crateType);
    file.insert(QStringLiteral("crateTypeKnown"), result.reopened.crateTypeKnown);
    file.insert(QStringLiteral("checkedAgainst"), result.reopened.crateTypeName);
    file.insert(QStringLiteral("entries"), static_cast<qint64>(result.reopened.entries.size()));
    file.insert(QStringLiteral("verdictText"), VerdictLine(result));
    file.insert(QStringLiteral("limits"), LimitsJson(result, separator));
    file.insert(QStringLiteral("takenBy"), StringArray(result.takenBy));
    file.insert(QStringLiteral("changed"), result.Changed());
    file.insert(QStringLiteral("changes"), StringArray(result.changes));
    file.insert(QStringLiteral("catalogReplaced"), result.catalogReplaced);
    return file;
}

} // namespace

QString CheckSummaryLine(const BasketCheckSummary& summary)
{
    return Text(u"ИТОГО: файлов %1, в пределах %2, близко к пределу %3, превышение %4, "
                u"изменено %5, не прочитано %6")
        .arg(summary.files)
        .arg(summary.fits)
        .arg(summary.near)
        .arg(summary.over)
        .arg(summary.changed)
        .arg(summary.unreadable);
}

QString CheckReportText(const BasketCheckRun& run)
{
    QString text;
    const auto line = [&text](int indent, const QString& words) {
        text += QString(indent, u' ') + words + u'\n';
    };
    for (const BasketCheckResult& result : run.results) {
        line(0, result.file);
        if (!result.Readable()) {
            line(2, Text(u"НЕ ПРОВЕРЕН: ") + result.error);
            continue;
        }
        line(2, Text(u"ТИП КОРЗИНЫ: ") + result.crateType);
        line(2, Text(u"ИТОГ: ") + VerdictLine(result));
        line(2, Text(u"ПОДХОДЯТ: ") + (result.takenBy.isEmpty()
                                           ? Text(u"ни один тип корзины")
                                           : result.takenBy.join(QStringLiteral(", "))));
        if (result.changes.isEmpty()) {
            line(2, result.catalogReplaced
                        ? Text(u"ИЗМЕНЕНИЯ: нет (каталог обновлён, блоки корзины прежние)")
                        : Text(u"ИЗМЕНЕНИЯ: нет"));
            continue;
        }
        line(2, Text(u"ИЗМЕНЕНИЯ:"));
        for (const QString& change : result.changes)
            line(4, change);
    }
    line(0, CheckSummaryLine(SummarizeChecks(run.results)));
    return text;
}

QByteArray CheckReportJson(const BasketCheckRun& run)
{
    QJsonArray files;
    for (const BasketCheckResult& result : run.results)
        files.append(FileJson(result, run.separator));
    const BasketCheckSummary counts = SummarizeChecks(run.results);
    const QJsonObject summary{
        {QStringLiteral("files"), counts.files},
        {QStringLiteral("fits"), counts.fits},
        {QStringLiteral("near"), counts.near},
        {QStringLiteral("over"), counts.over},
        {QStringLiteral("changed"), counts.changed},
        {QStringLiteral("unreadable"), counts.unreadable},
        {QStringLiteral("exitStatus"), CheckExitStatus(counts)},
        {QStringLiteral("catalog"), run.catalogPath},
        {QStringLiteral("catalogSha256"),
         run.catalogSha256.isEmpty() ? QJsonValue() : QJsonValue(run.catalogSha256)},
        {QStringLiteral("marginPercent"), run.marginPercent},
        {QStringLiteral("decimalSeparator"), run.separator},
        {QStringLiteral("programVersion"), ProgramVersion()},
    };
    const QJsonObject root{{QStringLiteral("files"), files}, {QStringLiteral("summary"), summary}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray CheckReportCsv(const BasketCheckRun& run)
{
    const QChar separator = CsvFieldSeparator(run.separator);
    QString csv;
    const auto addRow = [&](const QStringList& fields) {
        QStringList quoted;
        for (const QString& field : fields)
            quoted << CsvField(field, separator);
        csv += quoted.join(separator) + QStringLiteral("\r\n");
    };
    addRow({Text(u"ФАЙЛ"), Text(u"ТИП КОРЗИНЫ"), Text(u"ИТОГ"), Text(u"ЗАКЛЮЧЕНИЕ"),
            Text(u"ПОДХОДЯТ"), Text(u"ИЗМЕНЕНИЯ"), Text(u"ОШИБКА")});
    for (const BasketCheckResult& result : run.results) {
        if (!result.Readable()) {
            addRow({result.file, QString(), VerdictWords(result), QString(), QString(), QString(),
                    result.error});
            continue;
        }
        // The crate types share a cell as the text lists them; the changes,
        // being sentences, one a line.
        addRow({result.file, result.crateType, VerdictWords(result), VerdictLine(result),
                result.takenBy.join(QStringLiteral(", ")), result.changes.join(u'\n'), QString()});
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + csv.toUtf8();
}
