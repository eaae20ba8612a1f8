// SPDX-License-Identifier: MIT
#include "catalog/StoredValue.h"

#include "base/DecimalText.h"

QString StoredValue::Shown() const
{
    switch (storage) {
    case TSQLiteTable::kInteger:
        return QString::number(integer);
    case TSQLiteTable::kReal:
        return FormatDecimal(real, QStringLiteral("."));
    case TSQLiteTable::kText:
    case TSQLiteTable::kBlob:
        return u'"' + text + u'"';
    default:
        return QStringLiteral("NULL");
    }
}

StoredValue ReadStoredValue(const TSQLiteRowView& row, int column)
{
    StoredValue value;
    value.storage = row.Storage(column);
    switch (value.storage) {
    case TSQLiteTable::kInteger:
        value.integer = row.Integer(column);
        break;
    case TSQLiteTable::kReal:
        value.real = row.Real(column);
        break;
    case TSQLiteTable::kText:
    case TSQLiteTable::kBlob: {
        const std::string_view bytes = row.Bytes(column);
        value.text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
        break;
    }
    default:
        break;
    }
    return value;
}
