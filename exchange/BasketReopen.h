// SPDX-License-Identifier: MIT
#pragma once

// Reopening a basket file against the catalog as it is now. The catalog is
// the truth: each entry is looked up again by its code; a block whose values
// have changed takes the catalog's values, a block no longer in the catalog
// is left out, and both are listed for the user, never dropped silently.
// Pure functions: the catalog is reached through the lookup passed in.

#include "BasketFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The block's six texts as the catalog gives them now, written with the
// screen's separator; none when no block has the code.
using CatalogLookup = std::function<std::optional<DeviceTexts>(const QString& code)>;

struct BasketChange {
    QString code;
    QString what; // "нет в каталоге", or the changed values, old and new
};

struct ReopenedBasket {
    std::vector<DeviceTexts> entries; // in file order, with the catalog's texts
    std::vector<BasketChange> changes;
    int crateTypeRow = 0;
    bool crateTypeKnown = true;
};

// `separator` is the screen's decimal separator; the file's own is in `file`.
ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator);

// The same as a heading and one line per change, every change listed, for
// a dialog whose list scrolls; codes and names quoted from the file are cut
// (QuoteForMessage). Both empty when there is nothing to say.
struct MessageListing {
    QString heading;
    QStringList lines;
};
MessageListing ReopenListing(const ReopenedBasket& basket, const QString& fileCrateType);

// The one message that lists the changes and an unknown crate type, lines
// broken by carriage returns; at most `maxListed` changes are spelt out.
// Empty when there is nothing to say.
QString ReopenMessage(const ReopenedBasket& basket, const QString& fileCrateType,
                      int maxListed = 15);
