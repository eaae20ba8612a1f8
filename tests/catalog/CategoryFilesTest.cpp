// SPDX-License-Identifier: MIT
#include "catalog/CategoryFiles.h"

#include "base/Exception.h"
#include "Fixtures.h"
#include "ThrownMessage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <string>

TEST(CategoryFiles, DecodingIsTheInverseOfIconvsEncoding)
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        if (b != 0x98) // no character in the code page: iconv has nothing to encode
            bytes.append(static_cast<char>(b));
    const QString text = DecodeCp1251(bytes);
    ASSERT_EQ(text.size(), bytes.size());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.txt"));
    WriteCp1251File(path, text);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);

    EXPECT_EQ(DecodeCp1251("\x98"), QString(QChar(0xFFFD)));
    EXPECT_EQ(DecodeCp1251("\xC0\xFF\xA8\xB8\xB9"), QStringLiteral("АяЁё№"));
}

TEST(CategoryFiles, ByteOrderMarkSelectsUtf8)
{
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"\xEF\xBB\xBF\xD0\x9F\xD1\x91 \xE2\x84\x96",
         QStringLiteral("Пё №")},                     // UTF-8 after the mark
        {"\xEF\xBB\xBF", QString()},                  // the mark alone
        {"\xCF\xB8 \xB9", QStringLiteral("Пё №")},    // no mark: Windows-1251
        {"\xEF\xBB", QStringLiteral("п»")},           // part of a mark is Windows-1251 text
        {"\xEF\xBB\xBF\xFF", QString(QChar(0xFFFD))}, // malformed UTF-8 after the mark
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().toStdString());
        EXPECT_EQ(DecodeCategoryText(c.bytes), c.text);
    }
}

TEST(CategoryFiles, SplitLinesOnEveryBreakStyle)
{
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {QStringLiteral("a")}},
        {"a\r\n", {QStringLiteral("a")}},
        {"a\n", {QStringLiteral("a")}},
        {"a\r", {QStringLiteral("a")}},
        {"a\r\nb", {QStringLiteral("a"), QStringLiteral("b")}},
        {"a\nb\n", {QStringLiteral("a"), QStringLiteral("b")}},
        {"a\rb\r", {QStringLiteral("a"), QStringLiteral("b")}},
        {"a\r\n\r\nb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"a\n\rb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"a\r\r\nb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"\n", {QString()}},
        {"\r\n\r\n", {QString(), QString()}},
        {" a \tb ", {QStringLiteral(" a \tb ")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(SplitLines(QString::fromLatin1(c.text)), c.lines);
    }
}

TEST(CategoryFiles, LoadsNamesWrittenWithEachBreakStyle)
{
    QTemporaryDir dir;
    const QStringList names = {QStringLiteral("Блоки питания"), QStringLiteral("Модули «ввода»"),
                               QStringLiteral("Ёмкости № 2")};
    for (const char* lineBreak : {"\r\n", "\n", "\r"}) {
        const QString separator = QString::fromLatin1(lineBreak);
        for (const bool finalBreak : {true, false}) {
            SCOPED_TRACE(testing::PrintToString(std::string(lineBreak)) +
                         (finalBreak ? " with final break" : ""));
            const QString path = dir.filePath(QStringLiteral("Category021.itm"));
            WriteCp1251File(path, names.join(separator) + (finalBreak ? separator : QString()));
            EXPECT_EQ(LoadCategoryFile(path), names);
        }
    }
}

TEST(CategoryFiles, UnreadableFileErrorNamesTheFile)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("Category000.itm"));
    const std::string message = ThrownMessage<EFileError>([&] { LoadCategoryFile(missing); });
    EXPECT_EQ(message.rfind("Не удалось открыть файл \"" + missing.toStdString() + "\": ", 0), 0u)
        << message;

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Category024.itm")));
    const QString directory = dir.filePath(QStringLiteral("Category024.itm"));
    const std::string dirMessage = ThrownMessage<EFileError>([&] { LoadCategoryFile(directory); });
    EXPECT_NE(dirMessage.find("\"" + directory.toStdString() + "\""), std::string::npos)
        << dirMessage;
}

TEST(CategoryFiles, NumberingTiesListPositionsToStoredCodes)
{
    // Category number and whether the category has subcategories, by list position.
    for (int position = -1; position <= 30; ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(CategoryNumber(position), position + 1);
        const bool expected = position == 20 || position == 21 || position == 23;
        EXPECT_EQ(HasSubcategories(CategoryNumber(position)), expected);
    }

    const struct {
        int categoryPosition, subcategoryPosition, code;
    } codes[] = {{20, 0, 121}, {20, 2, 321}, {21, 1, 222}, {23, 2, 324}, {23, 3, 424}};
    for (const auto& c : codes) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(SubcategoryCode(c.categoryPosition, c.subcategoryPosition), c.code);
        EXPECT_EQ(SubcategoryLine(CategoryNumber(c.categoryPosition), c.code),
                  c.subcategoryPosition);
    }
    // Codes that belong to no line: the division truncates toward zero.
    EXPECT_EQ(SubcategoryLine(21, 0), -1);
    EXPECT_EQ(SubcategoryLine(22, 21), -1);
    EXPECT_EQ(SubcategoryLine(24, -300), -4);

    // The extremes of the stored 64-bit values, where s − n itself overflows.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    const struct {
        std::int64_t category, code, line;
    } extremes[] = {
        {21, kMin, -92233720368547759},      // (−9223372036854775829) / 100 − 1
        {21, kMax, 92233720368547756},       // 9223372036854775786 / 100 − 1
        {kMin, kMax, 184467440737095515},    // (2^64 − 1) / 100 − 1
        {kMax, kMin, -184467440737095517},   // (1 − 2^64) / 100 − 1
        {kMax, kMax, -1},
        {-1, 99, 0},                          // 100 / 100 − 1: the carry between signs
        {1, -99, -2},
        {21, 120, -1},                        // 99 / 100 − 1
        {-21, -120, -1},
    };
    for (const auto& c : extremes) {
        SCOPED_TRACE(std::to_string(c.category) + " " + std::to_string(c.code));
        EXPECT_EQ(SubcategoryLine(c.category, c.code), c.line);
    }

    EXPECT_EQ(CategoryFileName(0), QStringLiteral("Category000.itm"));
    EXPECT_EQ(CategoryFileName(21), QStringLiteral("Category021.itm"));
    EXPECT_EQ(CategoryFilePath(QStringLiteral("/opt/app"), 24),
              QStringLiteral("/opt/app/Category/Category024.itm"));
}

TEST(CategoryFiles, LineOutsideTheListIsEmptyText)
{
    const QStringList lines = {QStringLiteral("первая"), QStringLiteral("вторая")};
    const struct {
        long long line;
        QString text;
    } cases[] = {{0, lines[0]}, {1, lines[1]},   {2, {}},
                 {-1, {}},      {1LL << 40, {}}, {-(1LL << 40), {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(LineOrEmpty(lines, c.line), c.text);
    }
    EXPECT_EQ(LineOrEmpty({}, 0), QString());
}

TEST(CategoryFiles, StandardCatalogReadsBackItsNames)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    const QStringList categories = LoadCategoryFile(CategoryFilePath(catalog.Dir(), 0));
    ASSERT_EQ(categories.size(), 24);
    EXPECT_EQ(categories.at(20), QStringLiteral("Категория 21"));

    const QStringList sub24 = LoadCategoryFile(CategoryFilePath(catalog.Dir(), 24));
    EXPECT_EQ(LineOrEmpty(sub24, SubcategoryLine(24, 324)), QStringLiteral("Подкатегория 24-3"));
}
