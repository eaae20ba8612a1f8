// SPDX-License-Identifier: MIT
#pragma once

// A value as the catalog database stores it, read without the declared
// type's conversions, so that the maintainer's tool can tell a number from
// a text that looks like one, and a NULL from an empty text.

#include "catalog/SQLiteTable3.h"

#include <QString>

#include <cstdint>

struct StoredValue {
    TSQLiteTable::Kind storage = TSQLiteTable::kNull;
    std::int64_t integer = 0; // kInteger
    double real = 0;          // kReal
    QString text;             // kText and kBlob (bytes read as UTF-8)

    static StoredValue Null() { return {}; }
    static StoredValue Integer(std::int64_t value) { return {TSQLiteTable::kInteger, value, 0, {}}; }
    static StoredValue Real(double value) { return {TSQLiteTable::kReal, 0, value, {}}; }
    static StoredValue Text(const QString& value) { return {TSQLiteTable::kText, 0, 0, value}; }

    bool IsNumber() const
    {
        return storage == TSQLiteTable::kInteger || storage == TSQLiteTable::kReal;
    }
    double Number() const
    {
        return storage == TSQLiteTable::kInteger ? static_cast<double>(integer) : real;
    }
    // How the value reads in a message: a number in decimal text with a full
    // stop, a text in quotes, or "NULL".
    QString Shown() const;
};

// The value of `column` in a streamed row.
StoredValue ReadStoredValue(const TSQLiteRowView& row, int column);
