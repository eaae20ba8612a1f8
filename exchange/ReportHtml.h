// SPDX-License-Identifier: MIT
#pragma once

// The printable report of a basket as rich text (the HTML subset that
// QTextDocument reads): title, date and time, the catalog, the ticked crate
// type with its limits, the entries, the totals with headroom and share
// used per limit, the verdict, and the fit of every crate type. One text,
// so that the preview, the printer and a PDF show the same thing.

#include "BasketSummary.h"

#include <QString>

inline constexpr char16_t kReportTitle[] = u"ОТЧЁТ О СОСТАВЕ КОРЗИНЫ";

// A basket of more entries is shown as its bill of materials (GroupByCode),
// of at most as many rows; codes and names are cut to kMaxReportCellCharacters.
inline constexpr int kMaxReportRows = 2000;
inline constexpr int kMaxReportCellCharacters = 200;

QString ReportHtml(const BasketSummary& summary);
