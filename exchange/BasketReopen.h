// SPDX-License-Identifier: MIT
#pragma once

// Reopening a basket file against the catalog as it is now. The catalog is
// the truth: each entry is looked up again by its code; a block whose values
// have changed takes the catalog's values, a block no longer in the catalog
// is left out, and both are listed for the user, never dropped silently.
// Pure functions: the catalog is reached through the lookup passed in.

#include "exchange/BasketFile.h"
#include "crate/CrateTypes.h"

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
    QString crateTypeName; // the crate type ticked: the file's, or the first when unknown
    // The crate type's limits that differ from those the file recorded,
    // old and new ("-7V, А 0.7 → 0.8"); empty when they agree, when the
    // file recorded none, or when the crate type is unknown.
    QString crateLimitChange;
};

// A crate type as the window lists it: its name and its five limits, texts
// with the screen's separator, as a basket file records them.
struct CrateTypeLimits {
    QString name;
    LimitTexts limits;
};
// The crate types' limits as texts with `separator`, in list order.
std::vector<CrateTypeLimits> CrateTypeLimitTexts(const std::vector<TCrateType>& types,
                                                const QString& separator);

// `separator` is the screen's decimal separator; the file's own is in
// `file`. The file's crate type is found by name in `crateTypes`, in list
// order.
ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator,
                               const std::vector<CrateTypeLimits>& crateTypes);
ReopenedBasket ReconcileBasket(const BasketDocument& file, const CatalogLookup& lookup,
                               const QString& separator,
                               const std::vector<TCrateType>& crateTypes = BuiltInCrateTypes());

// What changed against the catalog since the file was saved, one line
// each, so that the check and the window say it in the same words: each
// entry whose values differ ("MK1-050: +5V, А 0.1 → 0.2; МОЩНОСТЬ, ВТ 1 → 2")
// and each code no longer in the catalog ("MK1-999: нет в каталоге, не
// добавлен"), in file order; then the crate type with other limits («Тип
// корзины «…»: -7V, А 0.7 → 0.8») or no longer known («Тип корзины «…»
// неизвестен; отмечен тип «…».»). Empty when nothing that enters the
// budget changed. Lines are whole: a caller with little room cuts them.
QStringList BasketChangeLines(const ReopenedBasket& basket, const QString& fileCrateType);

// The same for a dialog whose list scrolls, asking whether to open the
// basket so: a heading that says the catalog changed and asks, and the
// check's lines, every one of them and in its order, each cut as every
// quote from a file is (QuoteForMessage). Both empty when there is
// nothing to say.
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
