// SPDX-License-Identifier: MIT
#include "Budget.h"

#include "DecimalText.h"

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

BudgetEvaluation EvaluateBudget(const Totals& totals, const LimitTexts& limits, int marginPercent,
                                const QString& separator)
{
    const ExactDecimal* const sums[] = {&totals.v5, &totals.v7, &totals.v_7, &totals.power};
    BudgetEvaluation budget;
    for (int i = 0; i < 4; ++i)
        budget.limits[i] = Evaluate(static_cast<LimitKind>(i), *sums[i],
                                    ExactDecimal::Parse(limits[i], separator), marginPercent);
    budget.limits[4] = Evaluate(LimitKind::Slots, ExactDecimal::FromInteger(totals.slots),
                                ExactDecimal::FromInteger(ParseInteger(limits[4])), marginPercent);
    return budget;
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
    QString text = Signed(use.headroom, separator);
    if (use.percentUsed)
        text += QStringLiteral(" (") + Signed(*use.percentUsed, separator) + QStringLiteral(" %)");
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
            over << LimitName(use.kind) + Text(u" на ") + (use.sum - use.limit).Format(separator) +
                        Unit(use.kind);
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

std::vector<CrateFit> FitOfCrateTypes(const Totals& totals, const std::vector<LimitTexts>& crates,
                                      const QString& separator)
{
    std::vector<CrateFit> fits;
    fits.reserve(crates.size());
    bool picked = false;
    for (const LimitTexts& limits : crates) {
        const BudgetEvaluation budget =
            EvaluateBudget(totals, limits, kMaxMarginPercent, separator);
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

QString FitNote(const CrateFit& fit)
{
    if (fit.fits)
        return fit.pick ? Text(u"\u2713 подходит") : Text(u"\u2713");
    QStringList names;
    for (LimitKind kind : fit.failing)
        names << LimitName(kind);
    return Text(u"\u2717 ") + names.join(QStringLiteral(", "));
}
