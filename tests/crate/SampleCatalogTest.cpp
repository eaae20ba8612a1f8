// SPDX-License-Identifier: MIT
// The sample catalog shipped with the program: its schema, its numbering
// against the category files, their code page, and that every limit of
// every crate type can be met with a few of its blocks.

#include "crate/Basket.h"
#include "crate/Budget.h"
#include "crate/CrateTypes.h"
#include "base/DecimalText.h"

#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStringList>

#include "QStringPrinter.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <map>
#include <set>

namespace {

const QString kSampleDir = QStringLiteral(VELTRUM_SAMPLE_DIR);
const QString kSourceDir = QStringLiteral(VELTRUM_SOURCE_DIR);
const int kCategoriesWithSubcategories[] = {21, 22, 24};

QStringList SourceLines(const QString& name)
{
    QFile file(kSourceDir + QStringLiteral("/data/") + name + QStringLiteral(".txt"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    QStringList lines;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines;
}

class SampleCatalog : public testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray path = (kSampleDir + QStringLiteral("/VELTRUM.db")).toUtf8();
        ASSERT_EQ(sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK)
            << path.constData();
    }
    void TearDown() override { sqlite3_close(db_); }

    // Every row of `sql` as UTF-8 texts.
    std::vector<QStringList> Rows(const char* sql)
    {
        std::vector<QStringList> rows;
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr), SQLITE_OK) << sql;
        while (statement && sqlite3_step(statement) == SQLITE_ROW) {
            QStringList row;
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                row << QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, i)));
            rows.push_back(row);
        }
        sqlite3_finalize(statement);
        return rows;
    }

    sqlite3* db_ = nullptr;
};

TEST_F(SampleCatalog, TableAndIndexes)
{
    std::map<QString, QString> declared;
    for (const QStringList& row : Rows("PRAGMA table_info(BLOCKS)"))
        declared[row[1]] = row[2];
    const std::map<QString, QString> expected{
        {QStringLiteral("IDENT"), QStringLiteral("TEXT")},
        {QStringLiteral("NAME_RUS"), QStringLiteral("TEXT")},
        {QStringLiteral("VIPR"), QStringLiteral("TEXT")},
        {QStringLiteral("SLOTS_COUNT"), QStringLiteral("INTEGER")},
        {QStringLiteral("V5"), QStringLiteral("REAL")},
        {QStringLiteral("V7"), QStringLiteral("REAL")},
        {QStringLiteral("V_7"), QStringLiteral("REAL")},
        {QStringLiteral("TOTAL_POWER"), QStringLiteral("REAL")},
        {QStringLiteral("CATEGORY"), QStringLiteral("INTEGER")},
        {QStringLiteral("SUB_CATEGORY"), QStringLiteral("INTEGER")},
    };
    EXPECT_EQ(declared, expected);

    // Leading column of each index.
    std::set<QString> leading;
    for (const QStringList& index : Rows("PRAGMA index_list(BLOCKS)")) {
        const QByteArray sql = "PRAGMA index_info(" + index[1].toUtf8() + ")";
        for (const QStringList& column : Rows(sql.constData()))
            if (column[0] == QStringLiteral("0"))
                leading.insert(column[2]);
    }
    EXPECT_TRUE(leading.count(QStringLiteral("IDENT")));
    EXPECT_TRUE(leading.count(QStringLiteral("CATEGORY")));
}

TEST_F(SampleCatalog, BlocksAndCodes)
{
    const auto blocks =
        Rows("SELECT IDENT, NAME_RUS, VIPR, SLOTS_COUNT, typeof(V5), typeof(V_7) FROM BLOCKS");
    EXPECT_GE(blocks.size(), 200u);
    QSet<QString> idents;
    bool cyrillicCode = false, mk1Family = false;
    for (const QStringList& block : blocks) {
        const QString& ident = block[0];
        SCOPED_TRACE(ident.toStdString());
        // The code search upper-cases what the user types and the details
        // query looks a block up by its code.
        EXPECT_EQ(ident, ident.toUpper());
        EXPECT_FALSE(idents.contains(ident));
        EXPECT_FALSE(ident.contains(QLatin1Char('"')) || ident.contains(QLatin1Char('%')) ||
                     ident.contains(QLatin1Char('_')));
        idents.insert(ident);
        EXPECT_FALSE(block[1].isEmpty());
        EXPECT_FALSE(block[2].isEmpty());
        EXPECT_GE(block[3].toInt(), 1);
        EXPECT_EQ(block[4], QStringLiteral("real"));
        EXPECT_EQ(block[5], QStringLiteral("real"));
        for (QChar c : ident)
            cyrillicCode |= c.script() == QChar::Script_Cyrillic;
        mk1Family |= ident.startsWith(QStringLiteral("MK1-"));
    }
    EXPECT_TRUE(cyrillicCode);
    EXPECT_TRUE(mk1Family);

    for (const char* sql :
         {"SELECT count(*) FROM BLOCKS WHERE V_7 = 0.7",
          "SELECT count(*) FROM BLOCKS WHERE V_7 = 0.8", "SELECT count(*) FROM BLOCKS WHERE V5 = 3",
          "SELECT count(*) FROM BLOCKS WHERE V7 = 1.4"})
        EXPECT_GE(Rows(sql).at(0).at(0).toInt(), 1) << sql;
}

TEST_F(SampleCatalog, EveryCategoryAndSubcategoryHasBlocks)
{
    const int categoryCount = static_cast<int>(SourceLines(QStringLiteral("Category000")).size());
    EXPECT_GE(categoryCount, 24);

    // Count of blocks per (category, subcategory code).
    std::map<std::pair<int, int>, int> counts;
    for (const QStringList& row :
         Rows("SELECT CATEGORY, SUB_CATEGORY, count(*) FROM BLOCKS GROUP BY 1, 2"))
        counts[{row[0].toInt(), row[1].toInt()}] = row[2].toInt();

    std::map<std::pair<int, int>, int> expected; // every key must appear, no other
    for (int n = 1; n <= categoryCount; ++n) {
        if (std::find(std::begin(kCategoriesWithSubcategories),
                      std::end(kCategoriesWithSubcategories),
                      n) == std::end(kCategoriesWithSubcategories)) {
            expected[{n, 0}] = 0;
            continue;
        }
        const QStringList lines =
            SourceLines(QStringLiteral("Category%1").arg(n, 3, 10, QLatin1Char('0')));
        EXPECT_GE(lines.size(), 3) << n;
        EXPECT_LE(lines.size(), 6) << n;
        for (int k = 1; k <= lines.size(); ++k)
            expected[{n, n + 100 * k}] = 0;
    }
    for (const auto& [key, count] : counts)
        EXPECT_TRUE(expected.count(key))
            << "orphan: category " << key.first << " code " << key.second;
    for (const auto& [key, unused] : expected)
        EXPECT_GT(counts[key], 0) << "empty: category " << key.first << " code " << key.second;
}

TEST(SampleCategoryFiles, AreTheSourcesInWindows1251)
{
    for (const char* name : {"Category000", "Category021", "Category022", "Category024"}) {
        SCOPED_TRACE(name);
        QFile source(kSourceDir + QStringLiteral("/data/") + QLatin1String(name) +
                     QStringLiteral(".txt"));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        const QByteArray utf8 = source.readAll();

        const QString encoded = kSampleDir + QStringLiteral("/Category/") + QLatin1String(name) +
                                QStringLiteral(".itm");
        QFile itm(encoded);
        ASSERT_TRUE(itm.open(QIODevice::ReadOnly));
        const QByteArray bytes = itm.readAll();
        EXPECT_NE(bytes, utf8); // Cyrillic text is not stored as UTF-8

        QProcess iconv;
        iconv.start(QStringLiteral("iconv"),
                    {QStringLiteral("-f"), QStringLiteral("CP1251"), QStringLiteral("-t"),
                     QStringLiteral("UTF-8"), encoded});
        ASSERT_TRUE(iconv.waitForFinished());
        EXPECT_EQ(iconv.exitCode(), 0);
        EXPECT_EQ(iconv.readAllStandardOutput(), utf8);
    }
}

struct Block {
    QString ident;
    TDevice device;
};

// For each crate type and each of its five limits, some basket of at most
// six blocks of at most two kinds shows that limit exactly in its totals
// row and stays within the other limits.
TEST_F(SampleCatalog, EveryCrateLimitCanBeMetExactly)
{
    const QString dot = QStringLiteral(".");
    std::vector<TDevice> kinds;
    std::set<std::tuple<double, double, double, double, std::int64_t>> seen;
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, "SELECT V5, V7, V_7, TOTAL_POWER, SLOTS_COUNT FROM BLOCKS",
                                 -1, &statement, nullptr),
              SQLITE_OK);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        auto text = [statement](int column) {
            return FormatDecimal(sqlite3_column_double(statement, column), QStringLiteral("."));
        };
        const TDevice d = MakeDevice({QString(), text(0), text(1), text(2), text(3),
                                      QString::number(sqlite3_column_int64(statement, 4))},
                                     QStringLiteral("."));
        if (seen.insert({d.V5, d.V7, d.V_7, d.TotalPower, d.SlotsCount}).second)
            kinds.push_back(d);
    }
    sqlite3_finalize(statement);

    struct Target {
        int row, field;
        QString text;
        double value;
        bool met = false;
    };
    std::vector<Target> targets;
    std::array<std::array<QString, 5>, kCrateTypeCount> limits;
    for (int row = 0; row < kCrateTypeCount; ++row) {
        const QStringList fields = CrateTypeRow(CrateTypes()[row], dot).split(QLatin1Char('\t'));
        for (int field = kFieldV5; field <= kFieldSlots; ++field) {
            limits[row][field - 1] = fields[field];
            targets.push_back({row, field, fields[field], fields[field].toDouble()});
        }
    }
    auto value = [](const Totals& t, int field) {
        const ExactDecimal values[] = {t.v5, t.v7, t.v_7, t.power, t.slots};
        return ParseDecimal(values[field - 1].Format(QStringLiteral(".")), QStringLiteral("."));
    };

    const int kMaxBlocks = 6;
    for (size_t a = 0; a < kinds.size(); ++a) {
        for (size_t b = a; b < kinds.size(); ++b) {
            for (int first = 1; first <= kMaxBlocks; ++first) {
                std::vector<TDevice> basket(static_cast<size_t>(first), kinds[a]);
                for (int second = 0; second <= kMaxBlocks - first; ++second) {
                    if (second > 0)
                        basket.push_back(kinds[b]);
                    const Totals totals = SumDevices(basket);
                    for (Target& target : targets) {
                        if (target.met ||
                            std::fabs(value(totals, target.field) - target.value) > 1e-6)
                            continue;
                        const QString shown =
                            TotalsRow(totals, dot).split(QLatin1Char('\t'))[target.field];
                        target.met =
                            shown == target.text &&
                            EvaluateBudget(totals, limits[target.row], kMaxMarginPercent, dot)
                                .Fits();
                    }
                }
            }
        }
    }
    for (const Target& target : targets)
        EXPECT_TRUE(target.met) << "crate type row " << target.row << " field " << target.field
                                << " limit " << target.text.toStdString();
}

} // namespace
