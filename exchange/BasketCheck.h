// SPDX-License-Identifier: MIT
#pragma once

// Saved baskets checked against the catalog as it is now, without a
// window. Each file is reopened exactly as the window opens it
// (ReconcileBasket: the catalog's values win, blocks no longer in it are
// left out, an unknown crate type is reported and the first one ticked),
// and its budget is evaluated with the window's own functions (Budget.h),
// so that the check and the window can never disagree about a file.
//
// Pure functions: the catalog is reached through the lookup passed in and
// the files are read by the caller. A lookup may throw (a catalog that
// fails while being read); CheckBasket lets that through, so that the
// caller reports the file as not checked.

#include "exchange/BasketFile.h"
#include "exchange/BasketReopen.h"
#include "crate/Budget.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

// The state of a basket's budget against its crate type: every limit holds
// with room to spare, one is in the warning band, or one is passed.
enum class BasketVerdict { Fits, Near, Over };

// The catalog file checked against, for telling whether a basket was saved
// with another one. Hashing a large catalog takes seconds, so size and
// time decide first: another size is another catalog, the same size and
// time the same one; only a file of the same size written at another time
// is told by its SHA-256, which `sha256` gives when first asked.
struct CheckedCatalog {
    qint64 size = 0;
    QDateTime modified; // UTC
    std::function<QString()> sha256;
};
bool IsAnotherCatalog(const CatalogStamp& saved, const CheckedCatalog& now);

struct BasketCheckOptions {
    QString separator = QStringLiteral("."); // the screen's decimal separator
    int marginPercent = kDefaultMarginPercent;
    std::vector<CrateTypeLimits> crateTypes; // in list order; empty: the built-in ones
    std::optional<CheckedCatalog> catalog;   // none: not compared
};

// What the check finds for one file. The fields after the crate type are
// what the window shows after opening the same file against the same
// catalog with the same warning threshold, so a window test can compare
// them one by one.
struct BasketCheckResult {
    QString file;      // as it was named
    QString error;     // why the file could not be checked; the rest is then empty
    QString crateType; // as the file names it

    ReopenedBasket reopened; // the entries and the ticked crate type, as the window holds them
    QStringList changes;     // BasketChangeLines: what changed since the file was saved
    // The file was saved with another catalog file (IsAnotherCatalog). Not
    // a change by itself: a catalog corrected elsewhere may leave every
    // block of this basket as it was.
    bool catalogReplaced = false;

    BasketVerdict verdict = BasketVerdict::Fits;
    std::optional<BudgetEvaluation> budget; // none for an empty basket, as in the window
    QString verdictSentence;                // FVerdictField's text: empty for an empty basket
    QString headroomRow;                    // HeadroomTabLB's row: empty for an empty basket
    QStringList fitNotes;                   // the note on each crate type's row, in list order
    QStringList takenBy; // the crate types that would take the basket, in list order

    bool Readable() const { return error.isEmpty(); }
    bool Changed() const { return !changes.isEmpty(); }
};

// Reopens `document` (read from `file`) against the catalog behind
// `lookup` and evaluates it. Throws what the lookup throws, and
// EConvertError for a catalog value that is not a number, as the window's
// opening would refuse it.
BasketCheckResult CheckBasket(const QString& file, const BasketDocument& document,
                              const CatalogLookup& lookup, const BasketCheckOptions& options);

// A file that could not be read or checked, and why.
BasketCheckResult UncheckedBasket(const QString& file, const QString& reason);

// The last line of a check: how many files, and how they came out. Fits,
// near and over count the files checked (near still fits); changed counts
// those where something that enters the budget changed; unreadable those
// that could not be checked.
struct BasketCheckSummary {
    int files = 0;
    int fits = 0;
    int near = 0;
    int over = 0;
    int changed = 0;
    int unreadable = 0;
};
BasketCheckSummary SummarizeChecks(const std::vector<BasketCheckResult>& results);

// Exit statuses of a check: every file fits and nothing changed; some file
// is over or changed; some file (or the catalog) could not be read, which
// outweighs the others. A command line that is not understood exits with
// kUsageExitStatus (2), as ever.
inline constexpr int kCheckPassedStatus = 0;
inline constexpr int kCheckFoundStatus = 1;
inline constexpr int kCheckUnreadableStatus = 3;
int CheckExitStatus(const BasketCheckSummary& summary);

