// SPDX-License-Identifier: MIT
// The main window's budget view: the headroom row and the verdict under the
// totals, the warning threshold, and the fit marks on the crate types. All
// of it shows what the budget functions of crate/ give for the basket.

#include "ui/MainForm.h"

#include "kit/CheckList.h"
#include "crate/CrateTypes.h"
#include "kit/FieldColorListBox.h"
#include "kit/Header.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

// Text colours of a passed limit and of one in the warning band. Both keep
// a contrast of at least 4.5:1 against the light grey of the lists and the
// window (the pure red of the totals row does not).
const QColor kOverTextColor(176, 0, 0);
const QColor kNearTextColor(140, 85, 0);

QColor StateColor(LimitState state)
{
    switch (state) {
    case LimitState::Within:
        break;
    case LimitState::Near:
        return kNearTextColor;
    case LimitState::Over:
        return kOverTextColor;
    }
    return QColor(); // the list's own
}

// The verdict's colour: that of the worst state of any limit.
LimitState WorstState(const BudgetEvaluation& budget)
{
    LimitState worst = LimitState::Within;
    for (const LimitUse& use : budget.limits)
        worst = std::max(worst, use.state);
    return worst;
}

} // namespace

void TMainForm::BuildBudgetControls(QGridLayout* grid, int row)
{
    HeadroomTabLB = new TFieldColorListBox(RackGB);
    HeadroomTabLB->setObjectName(QStringLiteral("HeadroomTabLB"));
    HeadroomTabLB->setAccessibleName(QString::fromUtf16(u"ЗАПАС"));
    HeadroomTabLB->setFixedHeight(33);
    HeadroomTabLB->setEnabled(false); // shows the budget, takes no input
    HeadroomTabLB->SetFontColor(palette().color(QPalette::WindowText));

    FVerdictField = new QLabel(RackGB);
    FVerdictField->setObjectName(QStringLiteral("FVerdictField"));
    FVerdictField->setTextFormat(Qt::PlainText);
    FVerdictField->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FVerdictField->setAccessibleDescription(QString::fromUtf16(u"ИТОГ ПРОВЕРКИ"));

    auto* marginLabel = new QLabel(QString::fromUtf16(u"ПОРОГ, %"), RackGB);
    MarginField = new QSpinBox(RackGB);
    MarginField->setObjectName(QStringLiteral("MarginField"));
    MarginField->setRange(kMinMarginPercent, kMaxMarginPercent);
    MarginField->setValue(kDefaultMarginPercent);
    marginLabel->setBuddy(MarginField);
    MarginField->setAccessibleName(marginLabel->text());

    auto* verdictLine = new QHBoxLayout;
    verdictLine->addWidget(FVerdictField, 1);
    verdictLine->addWidget(marginLabel);
    verdictLine->addWidget(MarginField);

    grid->addWidget(HeadroomTabLB, row, 0);
    grid->addLayout(verdictLine, row + 1, 0);
}

void TMainForm::MarginFieldChange()
{
    Basket->SetMarginPercent(MarginField->value());
}

void TMainForm::ShowBudget(const BasketBudget& budget)
{
    HeadroomTabLB->Clear();
    QString verdict;
    QList<QColor> colors;
    LimitState worst = LimitState::Within;
    if (!budget.empty) {
        HeadroomTabLB->Items().Add(HeadroomRow(budget.ticked, DecimalSeparator));
        colors << QColor(); // field 0, the caption
        for (const LimitUse& use : budget.ticked.limits)
            colors << StateColor(use.state);
        verdict = VerdictSentence(budget.ticked, DecimalSeparator);
        worst = WorstState(budget.ticked);
    }
    HeadroomTabLB->SetFieldColors(colors);
    HeadroomTabLB->UpdateFromHeader(*RackHeader);

    FVerdictField->setText(verdict);
    QPalette verdictColors = FVerdictField->palette();
    const QColor color = StateColor(worst);
    verdictColors.setColor(QPalette::WindowText,
                           color.isValid() ? color : palette().color(QPalette::WindowText));
    FVerdictField->setPalette(verdictColors);
    // The totals' colour carries the same verdict: a screen reader says it in words.
    TotalTabLB->setAccessibleDescription(verdict);

    const std::vector<CrateFit>& fits = budget.fits;
    for (int type = 0; type < RackTypeCL->Items().Count(); ++type)
        RackTypeCL->SetRowNote(type, static_cast<size_t>(type) < fits.size()
                                         ? FitNote(fits[static_cast<size_t>(type)])
                                         : QString());
}
