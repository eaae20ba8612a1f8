// SPDX-License-Identifier: MIT
#include "crate/Budget.h"

#include "base/DecimalText.h"

#include <QStringList>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// Decimal text with a true minus sign, as typeset numbers have it.
QString Signed(const ExactDecimal& value, const QString& separator)
{
    QString text = value.Format(separator);
    if (text.startsWith(u'-'))
        text[0] = QChar(u'\u2212');
    return text;
}

// An amount of a limit's kind: slots are whole numbers, shown in full
// however large, the rest decimal text.
QString Amount(LimitKind kind, const ExactDecimal& value, const QString& separator)
{
    return kind == LimitKind::Slots ? value.WholeText() : value.Format(separator);
}

// The unit the verdict gives an excess in; slots are counted, not measured.
QString Unit(LimitKind kind)
{
    switch (kind) {
    case LimitKind::V5:
    case LimitKind::V7:
    case LimitKind::V_7:
        return Text(u" А");
    case LimitKind::Power:
        return Text(u" ВТ");
    case LimitKind::Slots:
        break;
    }
    return QString();
}

LimitUse Evaluate(LimitKind kind, const ExactDecimal& sum, const ExactDecimal& limit,
                  int marginPercent)
{
    LimitUse use;
    use.kind = kind;
    use.sum = sum;
    use.limit = limit;
    use.headroom = limit - sum;
    const bool over = sum > limit;
    if (limit.Sign() > 0)
        use.percentUsed = sum.PercentOf(limit, over);
    if (over)
        use.state = LimitState::Over;
    // The share is rounded down while the limit holds, and a whole number
    // of per cent is at or above the threshold exactly when the exact share is.
    else if (marginPercent < kMaxMarginPercent && use.percentUsed &&
             *use.percentUsed >= ExactDecimal::FromInteger(marginPercent))
        use.state = LimitState::Near;
    return use;
}

} // namespace

bool BudgetEvaluation::Fits() const
{
    for (const LimitUse& use : limits)
        if (use.state == LimitState::Over)
            return false;
    return true;
}

BudgetEvaluation EvaluateBudget(const Totals& totals, const LimitValues& limits, int marginPercent)
{
    const LimitValues sums = totals.Values();
    BudgetEvaluation budget;
    for (std::size_t i = 0; i < kLimitCount; ++i)
        budget.limits[i] = Evaluate(static_cast<LimitKind>(i), sums[i], limits[i], marginPercent);
    return budget;
}

LimitValues ParseLimits(const LimitTexts& limits, const QString& separator)
{
    LimitValues values;
    for (std::size_t i = 0; i + 1 < kLimitCount; ++i)
        values[i] = ExactDecimal::Parse(limits[i], separator);
    values[kLimitCount - 1] = ParseInteger(limits[kLimitCount - 1]);
    return values;
}

BudgetEvaluation EvaluateBudget(const Totals& totals, const LimitTexts& limits, int marginPercent,
                                const QString& separator)
{
    return EvaluateBudget(totals, ParseLimits(limits, separator), marginPercent);
}

QString LimitName(LimitKind kind)
{
    switch (kind) {
    case LimitKind::V5:
        return QStringLiteral("+5V");
    case LimitKind::V7:
        return QStringLiteral("+7V");
    case LimitKind::V_7:
        return Text(u"\u22127V");
    case LimitKind::Power:
        return Text(u"МОЩНОСТЬ");
    case LimitKind::Slots:
        break;
    }
    return Text(u"СЛОТЫ");
}

QString HeadroomText(const LimitUse& use, const QString& separator)
{
    QString text = Amount(use.kind, use.headroom, separator);
    if (text.startsWith(u'-'))
        text[0] = QChar(u'\u2212');
    // A limit of zero allows nothing: no share of it can be used, and a dash
    // says so, as the report's share column does.
    if (use.percentUsed)
        text += QStringLiteral(" (") + Signed(*use.percentUsed, separator) + QStringLiteral(" %)");
    else
        text += Text(u" (\u2014)");
    return text;
}

QString StateSymbol(LimitState state)
{
    switch (state) {
    case LimitState::Within:
        break;
    case LimitState::Near:
        return Text(u"\u2248"); // almost equal: close to the limit
    case LimitState::Over:
        return Text(u"\u26A0"); // warning sign
    }
    return QString();
}

QString MarkedHeadroomText(const LimitUse& use, const QString& separator)
{
    const QString symbol = StateSymbol(use.state);
    const QString text = HeadroomText(use, separator);
    return symbol.isEmpty() ? text : symbol + QLatin1Char(' ') + text;
}

QString HeadroomRow(const BudgetEvaluation& budget, const QString& separator)
{
    QStringList fields{Text(u"ЗАПАС:")};
    for (const LimitUse& use : budget.limits)
        fields << MarkedHeadroomText(use, separator);
    return fields.join(QLatin1Char('\t'));
}

QString VerdictSentence(const BudgetEvaluation& budget, const QString& separator)
{
    QStringList over;
    QStringList near;
    for (const LimitUse& use : budget.limits) {
        if (use.state == LimitState::Over)
            over << LimitName(use.kind) + Text(u" на ") +
                        Amount(use.kind, use.sum - use.limit, separator) + Unit(use.kind);
        else if (use.state == LimitState::Near)
            near << LimitName(use.kind) + QLatin1Char(' ') + use.percentUsed->Format(separator) +
                        QStringLiteral(" %");
    }
    QStringList parts;
    if (!over.isEmpty())
        parts << Text(u"ПРЕВЫШЕНИЕ: ") + over.join(QStringLiteral("; "));
    if (!near.isEmpty())
        parts << Text(u"БЛИЗКО К ПРЕДЕЛУ: ") + near.join(QStringLiteral("; "));
    if (parts.isEmpty())
        return Text(u"В ПРЕДЕЛАХ НОРМЫ");
    return parts.join(QStringLiteral(". "));
}

namespace {

std::vector<CrateFit> FitOfLimits(const Totals& totals, const std::vector<LimitValues>& crates)
{
    std::vector<CrateFit> fits;
    fits.reserve(crates.size());
    bool picked = false;
    for (const LimitValues& limits : crates) {
        const BudgetEvaluation budget = EvaluateBudget(totals, limits, kMaxMarginPercent);
        CrateFit fit;
        for (const LimitUse& use : budget.limits)
            if (use.state == LimitState::Over)
                fit.failing.push_back(use.kind);
        fit.fits = fit.failing.empty();
        fit.pick = fit.fits && !picked;
        picked = picked || fit.fits;
        fits.push_back(std::move(fit));
    }
    return fits;
}

} // namespace

std::vector<CrateFit> FitOfCrateTypes(const Totals& totals, const std::vector<TCrateType>& crates)
{
    std::vector<LimitValues> limits;
    limits.reserve(crates.size());
    for (const TCrateType& crate : crates)
        limits.push_back(crate.limits);
    return FitOfLimits(totals, limits);
}

std::vector<CrateFit> FitOfCrateTypes(const Totals& totals, const std::vector<LimitTexts>& crates,
                                      const QString& separator)
{
    std::vector<LimitValues> limits;
    limits.reserve(crates.size());
    for (const LimitTexts& texts : crates)
        limits.push_back(ParseLimits(texts, separator));
    return FitOfLimits(totals, limits);
}

BasketBudget EvaluateBasket(const std::vector<TDevice>& devices,
                            const std::vector<TCrateType>& crates, int crateType, int marginPercent)
{
    BasketBudget budget;
    budget.crateType = crateType;
    budget.empty = devices.empty();
    if (budget.empty)
        return budget;
    budget.totals = SumDevices(devices);
    budget.ticked = EvaluateBudget(
        budget.totals, crates.at(static_cast<std::size_t>(crateType)).limits, marginPercent);
    budget.fits = FitOfCrateTypes(budget.totals, crates);
    return budget;
}

QString FitNote(const CrateFit& fit)
{
    if (fit.fits)
        return fit.pick ? Text(u"\u2713 подходит") : Text(u"\u2713");
    QStringList names;
    for (LimitKind kind : fit.failing)
        names << LimitName(kind);
    return Text(u"\u2717 ") + names.join(QStringLiteral(", "));
}
