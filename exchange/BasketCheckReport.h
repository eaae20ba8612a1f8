// SPDX-License-Identifier: MIT
#pragma once

// The report of a basket check, in three forms: text for a person, one
// JSON document for scripts, and CSV (one row per file) for spreadsheets.
// Pure functions over the results; numbers are texts with the screen's
// decimal separator, as the window shows them.
//
// Text, one block per file in the order checked, then the summary line:
//
//   crate-07.vbasket
//     ТИП КОРЗИНЫ: KSV-1HA (QT310SE)
//     ИТОГ: ПРЕВЫШЕНИЕ: −7V на 0,05 А
//     ПОДХОДЯТ: KSV-3HA (QT27), KSV-3HB (QT23), KSV-3HC (QT23)
//     ИЗМЕНЕНИЯ:
//       MK1-050: -7V, А 0,1 → 0,15
//   ИТОГО: файлов 1, в пределах 0, близко к пределу 0, превышение 1, изменено 1, не прочитано 0
//
// JSON: {"files": [...], "summary": {...}}, each file an object with its
// name, crate type, verdict ("fits", "near", "over"; "unreadable" with an
// "error"), the verdict sentence, the five limits, the crate types that
// take it and the change lines; the summary carries the counts, the exit
// status, the catalog and the decimal separator.

#include "exchange/BasketCheck.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct BasketCheckRun {
    std::vector<BasketCheckResult> results; // in the order checked
    QString separator = QStringLiteral(".");
    int marginPercent = kDefaultMarginPercent;
    QString catalogPath;
    QString catalogSha256; // empty unless it was needed to tell catalogs apart
};

QString CheckReportText(const BasketCheckRun& run);
// The summary line that ends the text report.
QString CheckSummaryLine(const BasketCheckSummary& summary);
QByteArray CheckReportJson(const BasketCheckRun& run);
// UTF-8 with a byte-order mark and CR LF, fields separated as in the
// basket's CSV export (";" when the decimal separator is a comma).
QByteArray CheckReportCsv(const BasketCheckRun& run);
