// SPDX-License-Identifier: MIT
#include "crate/Basket.h"

#include "base/DecimalText.h"
#include "base/Exception.h"

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
    device.Name = texts.name;
    device.V5 = ParseDecimal(texts.v5, decimalSeparator);
    device.V7 = ParseDecimal(texts.v7, decimalSeparator);
    device.V_7 = ParseDecimal(texts.v_7, decimalSeparator);
    device.TotalPower = ParseDecimal(texts.totalPower, decimalSeparator);
    device.SlotsCount = ParseSlotsCount(texts.slotsCount);
    device.ExactV5 = ExactDecimal::Parse(texts.v5, decimalSeparator);
    device.ExactV7 = ExactDecimal::Parse(texts.v7, decimalSeparator);
    device.ExactV_7 = ExactDecimal::Parse(texts.v_7, decimalSeparator);
    device.ExactTotalPower = ExactDecimal::Parse(texts.totalPower, decimalSeparator);
    device.Texts = texts;
    return device;
}

QString BasketRow(const DeviceTexts& texts)
{
    const QStringList fields{texts.ident, texts.v5,         texts.v7,
                             texts.v_7,   texts.totalPower, texts.slotsCount};
    return fields.join(QLatin1Char('\t'));
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
    return LimitsRow(QString(), totals.Values(), decimalSeparator);
}

bool SlotsFit(const ExactDecimal& slotLimit, const ExactDecimal& usedSlots,
              const ExactDecimal& slotsCount)
{
    // Exact, so that a catalog's slot count near the 64-bit maximum cannot
    // wrap round into a fit (the basket may already hold more slots than a
    // newly ticked crate).
    return usedSlots + slotsCount <= slotLimit;
}

std::vector<std::int64_t> EntrySlotCounts(const std::vector<TDevice>& devices)
{
    std::vector<std::int64_t> counts;
    counts.reserve(devices.size());
    for (const TDevice& device : devices)
        counts.push_back(device.SlotsCount);
    return counts;
}
