// SPDX-License-Identifier: MIT
#include "Fixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>
#include <sqlite3.h>

void ExecSql(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK) << file.constData();
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

void WriteCp1251File(const QString& path, const QString& text)
{
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"),
                {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                 QStringLiteral("CP1251"), QStringLiteral("-o"), path});
    ASSERT_TRUE(iconv.waitForStarted()) << "iconv is not installed";
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    ASSERT_TRUE(iconv.waitForFinished());
    ASSERT_EQ(iconv.exitCode(), 0) << iconv.readAllStandardError().constData();
}

QString BlocksTableSql()
{
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS BLOCKS ("
        " IDENT TEXT, NAME_RUS TEXT, VIPR TEXT, SLOTS_COUNT INTEGER,"
        " V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL,"
        " CATEGORY INTEGER, SUB_CATEGORY INTEGER);"
        "CREATE INDEX IF NOT EXISTS BLOCKS_IDENT ON BLOCKS(IDENT);"
        "CREATE INDEX IF NOT EXISTS BLOCKS_CATEGORY ON BLOCKS(CATEGORY, SUB_CATEGORY);");
}

namespace {

QString SqlText(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString SqlNumber(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

FixtureCatalog::FixtureCatalog()
{
    EXPECT_TRUE(dir_.isValid());
    QDir(dir_.path()).mkdir(QStringLiteral("Category"));
}

QString FixtureCatalog::DatabasePath() const
{
    return dir_.filePath(QStringLiteral("VELTRUM.db"));
}

QString FixtureCatalog::CategoryPath(const QString& fileName) const
{
    return dir_.filePath(QStringLiteral("Category/") + fileName);
}

void FixtureCatalog::WriteCategories(const QStringList& names)
{
    WriteCp1251File(CategoryPath(QStringLiteral("Category000.itm")),
                    names.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void FixtureCatalog::WriteSubcategories(int number, const QStringList& names)
{
    WriteCp1251File(
        CategoryPath(QStringLiteral("Category%1.itm").arg(number, 3, 10, QLatin1Char('0'))),
        names.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void FixtureCatalog::AddBlocks(const std::vector<FixtureBlock>& blocks)
{
    QString sql = BlocksTableSql() + QStringLiteral("BEGIN;");
    for (const FixtureBlock& b : blocks) {
        sql +=
            QStringLiteral("INSERT INTO BLOCKS VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10);")
                .arg(SqlText(b.ident), SqlText(b.nameRus), SqlText(b.vipr))
                .arg(b.slots)
                .arg(SqlNumber(b.v5), SqlNumber(b.v7), SqlNumber(b.v_7), SqlNumber(b.power))
                .arg(b.category)
                .arg(b.subCategory);
    }
    sql += QStringLiteral("COMMIT;");
    ExecSql(DatabasePath(), sql);
}

void FixtureCatalog::WriteStandard()
{
    QStringList categories;
    for (int n = 1; n <= 24; ++n)
        categories << QStringLiteral("Категория %1").arg(n);
    WriteCategories(categories);
    WriteSubcategories(21,
                       {QStringLiteral("Подкатегория 21-1"), QStringLiteral("Подкатегория 21-2"),
                        QStringLiteral("Подкатегория 21-3")});
    WriteSubcategories(22,
                       {QStringLiteral("Подкатегория 22-1"), QStringLiteral("Подкатегория 22-2"),
                        QStringLiteral("Подкатегория 22-3")});
    WriteSubcategories(24,
                       {QStringLiteral("Подкатегория 24-1"), QStringLiteral("Подкатегория 24-2"),
                        QStringLiteral("Подкатегория 24-3"), QStringLiteral("Подкатегория 24-4")});
    // Category 6 (position 5) is stored out of code order on purpose.
    AddBlocks({
        {QStringLiteral("MK1-100"), QStringLiteral("Модуль контроллера"), QStringLiteral("ВП-1"), 1,
         0.5, 0.1, 0.05, 3.2, 1, 0},
        {QStringLiteral("MK1-200"), QStringLiteral("Модуль контроллера двойной"),
         QStringLiteral("ВП-2"), 2, 1.0, 0.2, 0.1, 6.4, 1, 0},
        {QStringLiteral("БК-7"), QStringLiteral("Блок коммутации"), QStringLiteral("ВП-7"), 1, 0.3,
         0.0, 0.0, 1.5, 2, 0},
        {QStringLiteral("V5"), QStringLiteral("Блок с шифром V5"), QStringLiteral("ВП-5"), 1, 0.2,
         0.0, 0.0, 1, 3, 0},
        {QStringLiteral("IDENT"), QStringLiteral("Блок с шифром IDENT"), QStringLiteral("ВП-6"), 1,
         0.2, 0.0, 0.0, 1, 3, 0},
        {QStringLiteral("ZB-600"), QStringLiteral("Блок зет"), QStringLiteral("А"), 1, 0.7, 0.35,
         0.7, 5, 6, 0},
        {QStringLiteral("AB-601"), QStringLiteral("Блок а"), QStringLiteral("Б"), 2, 0.8, 0.4, 0.8,
         6, 6, 0},
        {QStringLiteral("MK1-050"), QStringLiteral("Модуль малый"), QStringLiteral("В"), 1, 0.1,
         0.2, 0.0, 0.5, 6, 0},
        {QStringLiteral("SUB-121A"), QStringLiteral("Блок подкатегории 21-1"), QStringLiteral("Г"),
         1, 0.1, 0.1, 0.1, 1, 21, 121},
        {QStringLiteral("SUB-221A"), QStringLiteral("Блок подкатегории 21-2"), QStringLiteral("Д"),
         1, 0.1, 0.1, 0.1, 1, 21, 221},
        {QStringLiteral("SUB-324A"), QStringLiteral("Блок подкатегории 24-3"), QStringLiteral("Е"),
         3, 1.5, 0.5, 0.5, 12, 24, 324},
    });
}

FixtureBlock PowerBlock(QStringView code, int slots, double v5, double v7, double v_7,
                        double power)
{
    const QString ident = code.toString();
    return {ident, QStringLiteral("Блок ") + ident, QStringLiteral("ВП"), slots, v5, v7, v_7,
            power, 1, 0};
}
