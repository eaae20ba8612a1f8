// SPDX-License-Identifier: MIT
#pragma once

// The printable report of a basket as rich text (the HTML subset that
// QTextDocument reads): title, date and time, the catalog and the program's
// version, the ticked crate type with its limits, the crate drawn slot by
// slot (when the summary has it), the entries, the totals with headroom and
// share used per limit, the bill of materials grouped by code (when given),
// the verdict, and the fit of every crate type. One text, so that the
// preview, the printer and a PDF show the same thing.

#include "exchange/BasketSummary.h"

#include <QString>

inline constexpr char16_t kReportTitle[] = u"ОТЧЁТ О СОСТАВЕ КОРЗИНЫ";

// Rich text has no vector pictures: the crate's picture stands in the text
// as this paragraph, which NewReportDocument replaces by the drawing.
inline constexpr char16_t kRackPicturePlaceholder[] = u"\uE000RACK\uE000";
// A basket of more entries is shown as its bill of materials alone, of at
// most as many rows; codes and names are cut to kMaxReportCellCharacters.
inline constexpr int kMaxReportRows = 2000;
inline constexpr int kMaxReportCellCharacters = 200;

QString ReportHtml(const BasketSummary& summary);
