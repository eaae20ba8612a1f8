// SPDX-License-Identifier: MIT
#include "crate/CrateTypes.h"

#include <limits>

#include <QStringList>

namespace {

TCrateType BuiltIn(const char16_t* name, const char* v5, const char* v7, const char* v_7,
                   const char* power, std::int64_t slots)
{
    const QString dot = QStringLiteral(".");
    return {QString::fromUtf16(name),
            {ExactDecimal::Parse(QString::fromLatin1(v5), dot),
             ExactDecimal::Parse(QString::fromLatin1(v7), dot),
             ExactDecimal::Parse(QString::fromLatin1(v_7), dot),
             ExactDecimal::Parse(QString::fromLatin1(power), dot),
             ExactDecimal::FromInteger(slots)}};
}

} // namespace

const std::vector<TCrateType>& BuiltInCrateTypes()
{
    // The limits are those of each chassis' power supply; the check list
    // shows them in this order and row 0 is the initial choice.
    static const std::vector<TCrateType> types{
        BuiltIn(u"KSV-1HA (QT310SB)", "3", "1.4", "0.7", "28.5", 4),
        BuiltIn(u"KSV-1HA (QT310SE)", "4", "1.4", "0.8", "35.4", 4),
        BuiltIn(u"KSV-1HB (QT310SE)", "4", "1.4", "0.8", "35.4", 4),
        BuiltIn(u"KSV-1HC(R) (QT552)", "4", "1.4", "0.8", "35.4", 4),
        BuiltIn(u"KSV-3HA (QT27)", "10", "3", "3", "90", 17),
        BuiltIn(u"KSV-3HB (QT23)", "16", "5", "3", "140", 16),
        BuiltIn(u"KSV-3HC (QT23)", "16", "5", "3", "140", 16),
    };
    return types;
}

QString LimitsRow(const QString& field0, const LimitValues& values, const QString& decimalSeparator)
{
    QStringList fields{field0};
    for (int i = 0; i < kLimitCount; ++i) {
        const ExactDecimal& value = values[static_cast<std::size_t>(i)];
        fields << (static_cast<LimitKind>(i) == LimitKind::Slots ? value.WholeText()
                                                                 : value.Format(decimalSeparator));
    }
    return fields.join(QLatin1Char('\t'));
}

QString CrateTypeRow(const TCrateType& type, const QString& decimalSeparator)
{
    return LimitsRow(type.name, type.limits, decimalSeparator);
}

int CrateTypeIndex(const std::vector<TCrateType>& types, const QString& name)
{
    for (std::size_t i = 0; i < types.size(); ++i)
        if (types[i].name == name)
            return static_cast<int>(i);
    return -1;
}

std::int64_t SlotCountOf(const TCrateType& type)
{
    const ExactDecimal& slots = At(type.limits, LimitKind::Slots);
    if (slots.Sign() <= 0)
        return 0;
    constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
    if (slots >= ExactDecimal::FromInteger(kLargest))
        return kLargest;
    QString whole = slots.WholeText();
    whole = whole.left(whole.indexOf(u'.')); // left(-1) keeps all
    return whole.toLongLong();
}
