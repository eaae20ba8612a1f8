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

struct OpenedBasket {
    ReopenedBasket reopened;
    // The one message about what changed (empty: nothing to say), and the
    // same as a heading and lines for a list that scrolls.
    QString message;
    MessageListing listing;
    // The basket takes more slots than its crate type: "Корзина заполнена!".
    bool overSlots = false;
};

// Reads the basket file at `path`, looks each entry up through `lookup`,
// makes the entries and replaces the model's basket with them as one step
// named after the file. Everything is read and converted first: on any
// failure (EFileError, EConvertError) the model stays exactly as it was.
OpenedBasket OpenBasketIntoModel(TBasketModel& model, const QString& path,
                                 const CatalogLookup& lookup, const QString& decimalSeparator);
