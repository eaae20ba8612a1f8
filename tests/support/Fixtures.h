// SPDX-License-Identifier: MIT
#pragma once

// Fixtures built by tests in temporary directories: catalog databases made
// through SQLite's own C API and category files encoded by the iconv tool,
// so that the program's decoder is checked against an independent encoder.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>

// Runs SQL text (any number of statements) on the database file at `path`,
// creating it when missing. Fails the current test on an SQLite error.
void ExecSql(const QString& path, const QString& sql);

// Writes `text` (Unicode) to `path` in Windows-1251, through iconv.
void WriteCp1251File(const QString& path, const QString& text);

// The SQL that creates table BLOCKS with the catalog's declared types and indexes.
QString BlocksTableSql();

// One block of a fixture catalog.
struct FixtureBlock {
    QString ident, nameRus, vipr;
    int slots = 1;
    double v5 = 0, v7 = 0, v_7 = 0, power = 0;
    int category = 1, subCategory = 0;
};

// A block of category 1 known by its code and its power figures, named
// "Блок <code>".
FixtureBlock PowerBlock(QStringView code, int slots, double v5, double v7, double v_7,
                        double power);

// A catalog directory: VELTRUM.db with BLOCKS, and the Category directory.
class FixtureCatalog {
public:
    FixtureCatalog();
    QString Dir() const { return dir_.path(); }
    QString DatabasePath() const;
    QString CategoryPath(const QString& fileName) const;

    // Writes Category000.itm with `names`, one per line (CR LF breaks).
    void WriteCategories(const QStringList& names);
    // Writes the subcategory file of category `number`.
    void WriteSubcategories(int number, const QStringList& names);
    // Creates BLOCKS (when missing) and inserts the blocks in order.
    void AddBlocks(const std::vector<FixtureBlock>& blocks);
    // The standard fixture: 24 categories, subcategories of 21, 22, 24, and
    // a few blocks in categories 1, 6, 21 and 24 (see Fixtures.cpp).
    void WriteStandard();

private:
    QTemporaryDir dir_;
};
