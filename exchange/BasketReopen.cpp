// SPDX-License-Identifier: MIT
#include "BasketReopen.h"

#include "CrateTypes.h"
#include "DecimalText.h"
#include "MessageQuote.h"

#include <QStringList>

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

int CrateTypeRowByName(const QString& name)
{
    const auto& types = CrateTypes();
    for (int row = 0; row < kCrateTypeCount; ++row)
        if (name == QString::fromUtf16(types[static_cast<size_t>(row)].name))
            return row;
    return -1;
}

} // namespace

ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator)
{
    ReopenedBasket basket;
    const int row = CrateTypeRowByName(file.crateType);
    basket.crateTypeKnown = row >= 0;
    basket.crateTypeRow = row >= 0 ? row : 0;

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
        QStringList changed;
        for (const NumberField& field : kNumberFields) {
            const QString& was = saved.*field.text;
            const QString& is = *now.*field.text;
            if (!SameValue(was, is, field, file.decimalSeparator, separator))
                changed << Text(field.caption) + QLatin1Char(' ') +
                               SavedText(was, field, file.decimalSeparator, separator) +
                               Text(u" → ") + QuoteForMessage(is);
        }
        if (!changed.isEmpty())
            basket.changes.push_back({saved.ident, changed.join(QStringLiteral("; "))});
        basket.entries.push_back(*now);
    }
    return basket;
}

QString ReopenMessage(const ReopenedBasket& basket, const QString& fileCrateType, int maxListed)
{
    const QChar cr(u'\r');
    QString message;
    if (!basket.changes.empty()) {
        message += Text(u"Каталог изменился с тех пор, как корзина была сохранена:") + cr;
        const int count = static_cast<int>(basket.changes.size());
        for (int i = 0; i < count && i < maxListed; ++i) {
            const BasketChange& change = basket.changes[static_cast<size_t>(i)];
            message += QuoteForMessage(change.code) + Text(u": ") + change.what + cr;
        }
        if (count > maxListed)
            message += Text(u"… и ещё %1").arg(count - maxListed) + cr;
    }
    if (!basket.crateTypeKnown) {
        if (!message.isEmpty())
            message += cr;
        message +=
            Text(u"Тип корзины «%1» неизвестен; отмечен тип «%2».")
                .arg(QuoteForMessage(fileCrateType), QString::fromUtf16(CrateTypes()[0].name));
    }
    while (message.endsWith(cr))
        message.chop(1);
    return message;
}

MessageListing ReopenListing(const ReopenedBasket& basket, const QString& fileCrateType)
{
    MessageListing listing;
    for (const BasketChange& change : basket.changes)
        listing.lines << QuoteForMessage(change.code) + Text(u": ") + change.what;
    if (!listing.lines.isEmpty())
        listing.heading = Text(u"Каталог изменился с тех пор, как корзина была сохранена:");
    if (!basket.crateTypeKnown) {
        const QString crateType =
            Text(u"Тип корзины «%1» неизвестен; отмечен тип «%2».")
                .arg(QuoteForMessage(fileCrateType), QString::fromUtf16(CrateTypes()[0].name));
        if (listing.heading.isEmpty())
            listing.heading = crateType;
        else
            listing.lines << QString() << crateType;
    }
    return listing;
}
