// SPDX-License-Identifier: MIT
#include "exchange/BasketReopen.h"

#include "crate/CrateTypes.h"
#include "base/DecimalText.h"
#include "exchange/MessageQuote.h"

#include <QStringList>

#include <iterator>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

struct NumberField {
    const char16_t* caption;
    QString DeviceTexts::*text;
    bool whole;
};
constexpr NumberField kNumberFields[] = {
    {u"+5V, А", &DeviceTexts::v5, false},
    {u"+7V, А", &DeviceTexts::v7, false},
    {u"-7V, А", &DeviceTexts::v_7, false},
    {u"МОЩНОСТЬ, ВТ", &DeviceTexts::totalPower, false},
    {u"КОЛ-ВО СЛОТОВ", &DeviceTexts::slotsCount, true},
};

// The saved value in the screen's separator, so that old and new read alike.
// Decoding has already checked that every saved text is a number.
QString SavedText(const QString& saved, const NumberField& field, const QString& fileSeparator,
                  const QString& separator)
{
    if (field.whole)
        return QString::number(ParseInteger(saved));
    return FormatDecimal(ParseDecimal(saved, fileSeparator), separator);
}

// True when both texts stand for the same value. A catalog text that is
// not a number differs from every saved one; adding it then fails as
// adding it from the details would.
bool SameValue(const QString& saved, const QString& now, const NumberField& field,
               const QString& fileSeparator, const QString& separator)
{
    try {
        if (field.whole)
            return ParseInteger(saved) == ParseInteger(now);
        return ParseDecimal(saved, fileSeparator) == ParseDecimal(now, separator);
    } catch (const EConvertError&) {
        return false;
    }
}

// Why the catalog's texts of a block cannot go into the basket (a value
// stored as text, '2,5'), or nothing when they can.
std::optional<QString> WhyNotAdded(const DeviceTexts& now, const QString& separator)
{
    for (const NumberField& field : kNumberFields) {
        const QString& text = now.*field.text;
        try {
            if (field.whole ? ParseInteger(text) >= 0
                            : (static_cast<void>(ParseDecimal(text, separator)), true))
                continue;
        } catch (const EConvertError&) {
        }
        return Text(u"не добавлен: в столбце «%1» каталога не число, а «%2»")
            .arg(Text(field.caption), QuoteForMessage(text));
    }
    return std::nullopt;
}

int CrateTypeRowByName(const std::vector<CrateTypeLimits>& crateTypes, const QString& name)
{
    for (size_t row = 0; row < crateTypes.size(); ++row)
        if (name == crateTypes[row].name)
            return static_cast<int>(row);
    return -1;
}

// The fields of `saved` whose values differ from `now`, old and new
// ("+5V, А 0.6 → 0.5; КОЛ-ВО СЛОТОВ 2 → 1"); empty when all agree. The
// field table's order is that of the limits, so crate limits compare alike.
template <class Values>
QString ChangedFields(const Values& saved, const Values& now, const QString& fileSeparator,
                      const QString& separator, const QString& (*textOf)(const Values&, int))
{
    QStringList changed;
    for (int i = 0; i < static_cast<int>(std::size(kNumberFields)); ++i) {
        const NumberField& field = kNumberFields[i];
        const QString& was = textOf(saved, i);
        const QString& is = textOf(now, i);
        if (!SameValue(was, is, field, fileSeparator, separator))
            changed << Text(field.caption) + QLatin1Char(' ') +
                           SavedText(was, field, fileSeparator, separator) + Text(u" → ") + is;
    }
    return changed.join(QStringLiteral("; "));
}

const QString& EntryText(const DeviceTexts& texts, int field)
{
    return texts.*kNumberFields[field].text;
}

const QString& LimitText(const LimitTexts& limits, int field)
{
    return limits[static_cast<size_t>(field)];
}

QStringList EntryChangeLines(const ReopenedBasket& basket)
{
    QStringList lines;
    for (const BasketChange& change : basket.changes)
        lines << change.code + Text(u": ") + change.what;
    return lines;
}

QStringList CrateTypeChangeLines(const ReopenedBasket& basket, const QString& fileCrateType)
{
    if (!basket.crateTypeKnown)
        return {Text(u"Тип корзины «%1» неизвестен; отмечен тип «%2».")
                    .arg(fileCrateType, basket.crateTypeName)};
    if (!basket.crateLimitChange.isEmpty())
        return {Text(u"Тип корзины «%1»: %2").arg(fileCrateType, basket.crateLimitChange)};
    return {};
}

} // namespace

std::vector<CrateTypeLimits> CrateTypeLimitTexts(const std::vector<TCrateType>& types,
                                                const QString& separator)
{
    std::vector<CrateTypeLimits> texts;
    for (const TCrateType& type : types) {
        const QStringList fields = CrateTypeRow(type, separator).split(QLatin1Char('\t'));
        CrateTypeLimits limits{type.name, {}};
        for (int field = kFieldV5; field <= kFieldSlots; ++field)
            limits.limits[static_cast<size_t>(field - kFieldV5)] = fields.value(field);
        texts.push_back(std::move(limits));
    }
    return texts;
}

ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator, const std::vector<TCrateType>& crateTypes)
{
    return ReconcileBasket(file, lookup, separator, CrateTypeLimitTexts(crateTypes, separator));
}

ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator,
                               const std::vector<CrateTypeLimits>& crateTypes)
{
    ReopenedBasket basket;
    const int row = CrateTypeRowByName(crateTypes, file.crateType);
    basket.crateTypeKnown = row >= 0;
    basket.crateTypeRow = row >= 0 ? row : 0;
    if (!crateTypes.empty())
        basket.crateTypeName = crateTypes[static_cast<size_t>(basket.crateTypeRow)].name;
    if (basket.crateTypeKnown && file.crateLimits)
        basket.crateLimitChange =
            ChangedFields(*file.crateLimits, crateTypes[static_cast<size_t>(row)].limits,
                          file.decimalSeparator, separator, &LimitText);

    for (const DeviceTexts& saved : file.entries) {
        const std::optional<DeviceTexts> now = lookup(saved.ident);
        if (!now) {
            basket.changes.push_back({saved.ident, Text(u"нет в каталоге, не добавлен")});
            continue;
        }
        if (const std::optional<QString> why = WhyNotAdded(*now, separator)) {
            basket.changes.push_back({saved.ident, *why});
            continue;
        }
        const QString changed =
            ChangedFields(saved, *now, file.decimalSeparator, separator, &EntryText);
        if (!changed.isEmpty())
            basket.changes.push_back({saved.ident, changed});
        basket.entries.push_back(*now);
    }
    return basket;
}

QStringList BasketChangeLines(const ReopenedBasket& basket, const QString& fileCrateType)
{
    return EntryChangeLines(basket) + CrateTypeChangeLines(basket, fileCrateType);
}

QString ReopenMessage(const ReopenedBasket& basket, const QString& fileCrateType, int maxListed)
{
    const QChar cr(u'\r');
    QString message;
    const QStringList entryLines = EntryChangeLines(basket);
    if (!entryLines.isEmpty()) {
        message += Text(u"Каталог изменился с тех пор, как корзина была сохранена:") + cr;
        // Each line cut as every quote from a file is, so that no line
        // outgrows the screen.
        for (int i = 0; i < entryLines.size() && i < maxListed; ++i)
            message += QuoteForMessage(entryLines[i]) + cr;
        if (entryLines.size() > maxListed)
            message += Text(u"… и ещё %1").arg(entryLines.size() - maxListed) + cr;
    }
    const QStringList crateLines = CrateTypeChangeLines(basket, fileCrateType);
    if (!crateLines.isEmpty()) {
        if (!message.isEmpty())
            message += cr;
        for (const QString& line : crateLines)
            message += QuoteForMessage(line) + cr;
    }
    while (message.endsWith(cr))
        message.chop(1);
    return message;
}

MessageListing ReopenListing(const ReopenedBasket& basket, const QString& fileCrateType)
{
    MessageListing listing;
    for (const QString& line : BasketChangeLines(basket, fileCrateType))
        listing.lines << QuoteForMessage(line);
    if (!listing.lines.isEmpty())
        listing.heading = Text(u"Каталог изменился с тех пор, как корзина была сохранена. "
                               u"Открыть корзину с нынешними значениями каталога?");
    return listing;
}
