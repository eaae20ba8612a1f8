// SPDX-License-Identifier: MIT
#include "CrateTypes.h"

#include "DecimalText.h"

#include <QStringList>

const std::array<CrateType, kCrateTypeCount>& CrateTypes()
{
    // The limits are those of each chassis' power supply; the check list
    // shows them in this order and row 0 is the initial choice.
    static const std::array<CrateType, kCrateTypeCount> types{{
        {u"KSV-1HA (QT310SB)", 3, 1.4, 0.7, 28.5, 4},
        {u"KSV-1HA (QT310SE)", 4, 1.4, 0.8, 35.4, 4},
        {u"KSV-1HB (QT310SE)", 4, 1.4, 0.8, 35.4, 4},
        {u"KSV-1HC(R) (QT552)", 4, 1.4, 0.8, 35.4, 4},
        {u"KSV-3HA (QT27)", 10, 3, 3, 90, 17},
        {u"KSV-3HB (QT23)", 16, 5, 3, 140, 16},
        {u"KSV-3HC (QT23)", 16, 5, 3, 140, 16},
    }};
    return types;
}

QString LimitsRow(const QString& field0, double v5, double v7, double v_7, double power,
                  std::int64_t slots, const QString& decimalSeparator)
{
    const QStringList fields{
        field0,
        FormatDecimal(v5, decimalSeparator),
        FormatDecimal(v7, decimalSeparator),
        FormatDecimal(v_7, decimalSeparator),
        FormatDecimal(power, decimalSeparator),
        QString::number(slots),
    };
    return fields.join(QLatin1Char('\t'));
}

QString CrateTypeRow(const CrateType& type, const QString& decimalSeparator)
{
    return LimitsRow(QString::fromUtf16(type.name), type.v5, type.v7, type.v_7, type.power,
                     type.slots, decimalSeparator);
}
