// SPDX-License-Identifier: MIT
#include "Basket.h"

#include "CrateTypes.h"
#include "DecimalText.h"
#include "Exception.h"

namespace {

std::int64_t ParseSlotsCount(const QString& text)
{
    // A slot count comes from the catalog as a whole number; anything else
    // (a fraction, a negative value, a value out of range) would corrupt the slot
    // check, so it is refused with the value named.
    const std::string invalid = "Недопустимое количество слотов: \"" + text.toStdString() + "\"";
    std::int64_t count = 0;
    try {
        count = ParseInteger(text);
    } catch (const EConvertError&) {
        throw EConvertError(invalid);
    }
    if (count < 0)
        throw EConvertError(invalid);
    return count;
}

} // namespace

TDevice MakeDevice(const DeviceTexts& texts, const QString& decimalSeparator)
{
    TDevice device;
    device.Ident = texts.ident;
    device.V5 = ParseDecimal(texts.v5, decimalSeparator);
    device.V7 = ParseDecimal(texts.v7, decimalSeparator);
    device.V_7 = ParseDecimal(texts.v_7, decimalSeparator);
    device.TotalPower = ParseDecimal(texts.totalPower, decimalSeparator);
    device.SlotsCount = ParseSlotsCount(texts.slotsCount);
    device.ExactV5 = ExactDecimal::Parse(texts.v5, decimalSeparator);
    device.ExactV7 = ExactDecimal::Parse(texts.v7, decimalSeparator);
    device.ExactV_7 = ExactDecimal::Parse(texts.v_7, decimalSeparator);
    device.ExactTotalPower = ExactDecimal::Parse(texts.totalPower, decimalSeparator);
    return device;
}

QString BasketRow(const DeviceTexts& texts)
{
    const QStringList fields{texts.ident, texts.v5,         texts.v7,
                             texts.v_7,   texts.totalPower, texts.slotsCount};
    return fields.join(QLatin1Char('\t'));
}

std::int64_t UsedSlots(const std::vector<TDevice>& devices)
{
    std::int64_t used = 0;
    for (const TDevice& device : devices)
        used += device.SlotsCount;
    return used;
}

Totals SumDevices(const std::vector<TDevice>& devices)
{
    Totals totals;
    for (const TDevice& device : devices) {
        totals.v5 += device.ExactV5;
        totals.v7 += device.ExactV7;
        totals.v_7 += device.ExactV_7;
        totals.power += device.ExactTotalPower;
        totals.slots += device.SlotsCount;
    }
    return totals;
}

QString TotalsRow(const Totals& totals, const QString& decimalSeparator)
{
    const QStringList fields{
        QString(),
        totals.v5.Format(decimalSeparator),
        totals.v7.Format(decimalSeparator),
        totals.v_7.Format(decimalSeparator),
        totals.power.Format(decimalSeparator),
        QString::number(totals.slots),
    };
    return fields.join(QLatin1Char('\t'));
}

bool SlotsFit(std::int64_t slotLimit, std::int64_t usedSlots, std::int64_t slotsCount)
{
    // limit - used - count >= 0, worked out without overflow: a catalog's
    // slot count near the 64-bit maximum must not wrap round into a fit
    // (the basket may already hold more slots than a newly ticked crate).
    std::int64_t room = 0;
    if (__builtin_sub_overflow(slotLimit, usedSlots, &room))
        return usedSlots < 0; // the room is beyond the 64-bit range on that side
    std::int64_t left = 0;
    if (__builtin_sub_overflow(room, slotsCount, &left))
        return slotsCount < 0;
    return left >= 0;
}

bool WithinLimits(const Totals& totals, const std::array<QString, 5>& limitTexts,
                  const QString& decimalSeparator)
{
    const ExactDecimal* const sums[] = {&totals.v5, &totals.v7, &totals.v_7, &totals.power};
    for (size_t i = 0; i < 4; ++i)
        if (*sums[i] > ExactDecimal::Parse(limitTexts[i], decimalSeparator))
            return false;
    return ParseInteger(limitTexts[4]) >= totals.slots;
}
