// SPDX-License-Identifier: MIT
#pragma once

// Basket files: a basket kept on disk as JSON, so that a configuration can
// be reopened, mailed or attached to an order.
//
//   {
//     "format": "veltrum-basket", "version": 1,
//     "decimalSeparator": ".",              the separator of the number texts
//     "crateType": "KSV-1HA (QT310SB)",     the ticked crate type, by name
//     "crateLimits": {"v5": "3", "v7": "1.4", "v_7": "0.7", "power": "28.5", "slots": "4"},
//     "entries": [ {"code": "MK1-100", "v5": "0.5", "v7": "0.1", "v_7": "0.05",
//                   "power": "3.2", "slots": "1"}, ... ],   in basket order
//     "catalog": {"fileName": "VELTRUM.db", "size": 123, "modified": "<ISO 8601 UTC>",
//                 "sha256": "<64 hex digits>"},    "modified" left out when unknown
//     "programVersion": "1.0.0"             the version of the program that wrote it
//   }
//
// Entries keep the six texts exactly as they were added to the basket.
// "crateLimits" (the ticked crate type's limits when the file was saved)
// and "programVersion" came after the first files were written: both are
// optional on reading, and the format version stays 1, so that files of
// either kind open in either program.
// Encoding and decoding are pure functions; SaveBasketFile and
// LoadBasketFile add the disk. Errors: DecodeBasket throws
// EBasketFormatError with what is wrong; the file functions throw
// EFileError whose message names the file and says what is wrong. Nothing
// is ever half-read: a file either decodes completely or not at all.

#include "crate/Basket.h"
#include "crate/Budget.h"
#include "base/Exception.h"
#include "base/ProgramVersion.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

inline constexpr char16_t kBasketFormatName[] = u"veltrum-basket";
inline constexpr int kBasketFormatVersion = 1;
inline constexpr char16_t kBasketFileSuffix[] = u"vbasket";

// Caps on what a reader accepts. A real basket is a few kilobytes; the caps
// keep a hostile or mistaken file from taking the program's memory or stack.
inline constexpr qint64 kMaxBasketFileBytes = 8 * 1024 * 1024;
inline constexpr int kMaxBasketEntries = 10000;
inline constexpr int kMaxBasketNesting = 32;

// The catalog file a basket was put together from.
struct CatalogStamp {
    QString fileName;
    qint64 size = 0;
    QDateTime modified; // UTC; invalid when unknown (none that ISO 8601 can write)
    QString sha256;     // lower-case hex
    bool operator==(const CatalogStamp&) const = default;
};

struct BasketDocument {
    QString decimalSeparator;
    QString crateType;
    // The ticked crate type's five limits as it was saved, texts with the
    // file's separator; none in files written before they were recorded,
    // which are then compared with the crate types by name alone.
    std::optional<LimitTexts> crateLimits;
    std::vector<DeviceTexts> entries;
    CatalogStamp catalog;
    // The program that wrote the file: this one when saving, what the file
    // says when reading (empty for files that do not say).
    QString programVersion = ProgramVersion();
};

// What is wrong with a basket file's contents, in words for the user.
class EBasketFormatError : public Exception {
public:
    using Exception::Exception;
};

QByteArray EncodeBasket(const BasketDocument& basket);
// Checks everything: the caps, the format name and version, every field's
// type, and that every number text is a number written with the file's
// separator. Unknown extra fields are ignored.
BasketDocument DecodeBasket(const QByteArray& bytes);

// Writes atomically (QSaveFile): a failed save leaves any older file as it
// was and no partial file behind.
void SaveBasketFile(const QString& path, const BasketDocument& basket);
// Reads at most kMaxBasketFileBytes; the error message names the file.
BasketDocument LoadBasketFile(const QString& path);

// Name, size, modification time and SHA-256 of the catalog file at `path`.
CatalogStamp ReadCatalogStamp(const QString& path);
