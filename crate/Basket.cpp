#include "Basket.h"

#include "CrateTypes.h"
#include "DecimalText.h"
#include "Exception.h"

#include <cmath>

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

// The value the user sees for `sum`: its decimal text read back. A sum too
// large to print as a finite number is compared as it is.
double DisplayedValue(double sum, const QString& separator)
{
    if (!std::isfinite(sum))
        return sum;
    try {
        return ParseDecimal(FormatDecimal(sum, separator), separator);
    } catch (const EConvertError&) {
        // Rounding to 15 digits can push a value next to the largest double
        // beyond it; the sum itself is the honest answer then.
        return sum;
    }
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
        totals.v5 += device.V5;
        totals.v7 += device.V7;
        totals.v_7 += device.V_7;
        totals.power += device.TotalPower;
        totals.slots += device.SlotsCount;
    }
    return totals;
}

QString TotalsRow(const Totals& totals, const QString& decimalSeparator)
{
    return LimitsRow(QString(), totals.v5, totals.v7, totals.v_7, totals.power, totals.slots,
                     decimalSeparator);
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
    // The user judges the totals row by what it shows, so the check reads
    // the sums the same way: 0.1 + 0.2 shows 0.3 and passes a 0.3 limit.
    const double sums[] = {totals.v5, totals.v7, totals.v_7, totals.power};
    for (size_t i = 0; i < 4; ++i) {
        const double limit = ParseDecimal(limitTexts[i], decimalSeparator);
        // Written as "not within" so that a sum that is not a number fails.
        if (!(DisplayedValue(sums[i], decimalSeparator) <= limit))
            return false;
    }
    return ParseInteger(limitTexts[4]) >= totals.slots;
}
