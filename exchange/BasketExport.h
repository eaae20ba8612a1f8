// SPDX-License-Identifier: MIT
#pragma once

// The basket model leaving the program and coming back: the basket file's
// document and the CSV's and report's summary made from the model (never
// from screen rows), and a basket file opened into the model against the
// catalog as it is now. Used by the window and by programs without one;
// the budget figures are the model's one evaluation.

#include "crate/BasketModel.h"
#include "exchange/BasketFile.h"
#include "exchange/BasketReopen.h"
#include "exchange/BasketSummary.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

// The document a basket file is written from: the entries' texts as they
// were added, the ticked crate type by name, and the catalog's stamp.
BasketDocument BasketDocumentOf(const TBasketModel& model, const QString& decimalSeparator,
                                const CatalogStamp& catalog);

// What the CSV and the report show: the entries, the budget, the crate
// drawn slot by slot (the ticked crate type's slots) and the bill of
// materials summed from the entries' exact amounts. An empty basket is
// shown with zero sums against the ticked crate type, as the export has
// always shown it.
BasketSummary BasketSummaryOf(const TBasketModel& model, const QString& decimalSeparator,
                              const QString& catalogFileName, const QString& catalogSha256,
                              const QDateTime& madeAt);

// A basket file read and looked up against the catalog, not yet in any
// model: the window can say what changed and let the user decide before
// the basket is replaced.
struct BasketToOpen {
    QString path;
    QString fileCrateType; // the crate type as the file names it
    ReopenedBasket reopened;
    std::vector<TDevice> devices; // the entries as the basket will hold them
    // What changed since the file was saved, in the check's own words
    // (BasketChangeLines), whole; empty when nothing that enters the
    // budget changed.
    QStringList changes;
};

// Reads the basket file at `path` and looks each entry up through `lookup`
// against `crateTypes` (the model's, in list order), making the entries.
// Nothing is changed anywhere; on any failure (EFileError, EConvertError)
// nothing is returned.
BasketToOpen ReadBasketToOpen(const QString& path, const CatalogLookup& lookup,
                              const QString& decimalSeparator,
                              const std::vector<TCrateType>& crateTypes);

// Replaces the model's basket with `basket` as one step named after the
// file. True when the basket then takes more slots than its crate type
// ("Корзина заполнена!").
bool ReplaceWithOpenedBasket(TBasketModel& model, BasketToOpen basket);
