// SPDX-License-Identifier: MIT
#include "exchange/CatalogCrateTypeList.h"

#include "catalog/CatalogCrateTypes.h"

#include <algorithm>

namespace {

QString Text(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// The catalog's limit texts have a full stop and at most 15 significant
// digits: read exactly, they are the amounts the catalog shows.
TCrateType CrateTypeOf(const CatalogCrateType& type)
{
    const QString dot = QStringLiteral(".");
    return {type.name,
            {ExactDecimal::Parse(type.v5, dot), ExactDecimal::Parse(type.v7, dot),
             ExactDecimal::Parse(type.v_7, dot), ExactDecimal::Parse(type.power, dot),
             ExactDecimal::FromInteger(type.slots)}};
}

} // namespace

QString UnusedCrateTypesMessage(const QStringList& messages, int maxListed)
{
    const QChar cr(u'\r');
    QString text = Text(u"Типы корзин из каталога (таблица CRATE_TYPES) не приняты:");
    const int listed = std::min<int>(static_cast<int>(messages.size()), maxListed);
    for (int i = 0; i < listed; ++i)
        text += cr + messages[i];
    if (messages.size() > listed)
        text += cr + Text(u"… и ещё %1").arg(messages.size() - listed);
    return text + cr + cr + Text(u"В списке — встроенные типы корзин.");
}

CatalogCrateTypeList CrateTypesOfCatalog(TSQLiteDatabase& database)
{
    const CatalogCrateTypeTable table = ReadCatalogCrateTypes(database);
    CatalogCrateTypeList list;
    if (table.Valid()) {
        list.fromCatalog = true;
        for (const CatalogCrateType& type : table.types)
            list.types.push_back(CrateTypeOf(type));
        return list;
    }
    list.types = BuiltInCrateTypes();
    if (table.present) {
        list.problems = table.problems;
        list.message = UnusedCrateTypesMessage(table.messages);
    }
    return list;
}
