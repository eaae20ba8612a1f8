// SPDX-License-Identifier: MIT
// Crate types kept in the catalog, in the real window: a valid CRATE_TYPES
// table is listed instead of the built-in types and everything works with
// it; an invalid one is said once and the built-in types are listed; and a
// catalog exported, edited in its CSV files, imported and checked shows
// its changes in the window.

#include "WindowDriver.h"

#include "exchange/BasketFile.h"
#include "catalog/CatalogCheck.h"
#include "catalog/CatalogCrateTypes.h"
#include "catalog/CatalogCsv.h"
#include "catalog/CatalogExport.h"
#include "catalog/CatalogImport.h"
#include "kit/CheckList.h"
#include "crate/CrateTypes.h"
#include "kit/FieldColorListBox.h"
#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QColor kRed(255, 0, 0);
const QString kDot = QStringLiteral(".");

QString CratesSample()
{
    return QStringLiteral(VELTRUM_CRATES_SAMPLE_DIR);
}

QStringList BuiltInRows()
{
    QStringList rows;
    for (const TCrateType& type : BuiltInCrateTypes())
        rows << CrateTypeRow(type, kDot);
    return rows;
}

// The ticks of the crate type rows: "x" ticked, "." not.
QString Ticks(const TMainForm& form)
{
    QString ticks;
    for (int row = 0; row < form.RackTypeCL->Items().Count(); ++row)
        ticks += form.RackTypeCL->RowState(row) == cbChecked ? u'x' : u'.';
    return ticks;
}

// Field `field` of the totals row (1..5: the sums).
QString TotalsField(const TMainForm& form, int field)
{
    return Rows(form.TotalTabLB).value(0).split(u'\t').value(field);
}

QString HeadroomField(const TMainForm& form, int field)
{
    return Rows(form.HeadroomTabLB).value(0).split(u'\t').value(field);
}

QString ReadText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

void WriteText(const QString& path, const QString& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(CatalogCsvBytes(text));
}

} // namespace

TEST(CatalogCrateTypes, AValidTableIsListedAndEverythingWorksWithIt)
{
    Window window(CratesSample());
    TMainForm& form = *window.form;
    ASSERT_NE(form.Database, nullptr);
    EXPECT_TRUE(window.recorder.dialogs.empty());
    EXPECT_EQ(Rows(form.RackTypeCL),
              (QStringList{QStringLiteral("KSV-3HA (QT27)\t10\t3\t3\t90\t17"),
                           QStringLiteral("KSV-3HA (2 x QT27)\t20\t6\t6\t180\t17"),
                           QStringLiteral("KSV-8N (QT40, без -7 В)\t5\t1.5\t0\t40\t8"),
                           QStringLiteral("KSV-64 (QT250)\t24\t8\t4\t250\t64")}));
    EXPECT_EQ(Ticks(form), QStringLiteral("x..."));
    EXPECT_EQ(form.Basket->TickedCrateType().name, QStringLiteral("KSV-3HA (QT27)"));

    // Four RL-16M take 12 A on +5 V: over the first crate's 10 A, red;
    // within the second supply's 20 A once that crate is ticked.
    form.CodeRB->click();
    AddToBasket(form, u"RL-16M", 4);
    EXPECT_EQ(TotalsField(form, 1), QStringLiteral("12"));
    EXPECT_EQ(form.TotalTabLB->FontColor(), kRed);
    EXPECT_EQ(HeadroomField(form, 1), QStringLiteral("⚠ −2 (120 %)"));
    EXPECT_TRUE(form.FVerdictField->text().startsWith(QStringLiteral("ПРЕВЫШЕНИЕ: +5V на 2 А")))
        << form.FVerdictField->text().toStdString();
    // The fit marks are of the catalog's crate types: the doubled supply is
    // the first to take the basket; the crate without −7 V does not.
    const std::vector<CrateFit>& fits = form.Basket->Evaluate().fits;
    ASSERT_EQ(fits.size(), 4u);
    EXPECT_FALSE(fits[0].fits);
    EXPECT_TRUE(fits[1].pick);
    EXPECT_FALSE(fits[2].fits);
    EXPECT_TRUE(fits[3].fits && !fits[3].pick);
    TickRackType(form, 1);
    EXPECT_EQ(Ticks(form), QStringLiteral(".x.."));
    EXPECT_NE(form.TotalTabLB->FontColor(), kRed);
    EXPECT_EQ(HeadroomField(form, 1), QStringLiteral("8 (60 %)"));

    // The crate without a −7 V channel: a limit of 0 allows nothing there,
    // and its share used is a dash.
    ASSERT_TRUE(form.Basket->Clear());
    AddToBasket(form, u"MK1-03");
    TickRackType(form, 2);
    EXPECT_NE(form.TotalTabLB->FontColor(), kRed);
    EXPECT_EQ(HeadroomField(form, 3), QStringLiteral("0 (—)"));
    AddToBasket(form, u"AI-16D");
    EXPECT_EQ(form.TotalTabLB->FontColor(), kRed);
    EXPECT_EQ(HeadroomField(form, 3), QStringLiteral("⚠ −0.7 (—)"));
    EXPECT_TRUE(form.FVerdictField->text().contains(QStringLiteral("−7V на 0.7 А")))
        << form.FVerdictField->text().toStdString();
}

TEST(CatalogCrateTypes, ABasketFileNamingACrateTypeTheCatalogLacksTicksTheFirst)
{
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("old.vbasket"));
    BasketDocument basket;
    basket.decimalSeparator = kDot;
    basket.crateType = QStringLiteral("KSV-1HA (QT310SB)"); // built-in, not in this catalog
    basket.entries = {{QStringLiteral("MK1-03"), QStringLiteral("1"), QStringLiteral("0.05"),
                       QStringLiteral("0"), QStringLiteral("5.4"), QStringLiteral("1")}};
    basket.catalog = ReadCatalogStamp(QDir(CratesSample()).filePath(QStringLiteral("VELTRUM.db")));
    SaveBasketFile(path, basket);

    Window window(CratesSample());
    TMainForm& form = *window.form;
    TickRackType(form, 3);
    form.OpenBasketFile(path);
    ASSERT_EQ(window.recorder.dialogs.size(), 1u);
    EXPECT_TRUE(window.recorder.dialogs[0].text.contains(
        QStringLiteral("Тип корзины «KSV-1HA (QT310SB)» неизвестен; отмечен тип «KSV-3HA (QT27)».")))
        << window.recorder.dialogs[0].text.toStdString();
    EXPECT_EQ(Ticks(form), QStringLiteral("x..."));
    EXPECT_EQ(Rows(form.RackTabLB).size(), 1);
}

TEST(CatalogCrateTypes, AnInvalidTableIsSaidOnceAndTheBuiltInTypesAreListed)
{
    const QString create = QStringLiteral(
        "CREATE TABLE CRATE_TYPES (NAME TEXT, V5 REAL, V7 REAL, V_7 REAL, TOTAL_POWER REAL, "
        "SLOTS_COUNT INTEGER);");
    QString tooMany = create;
    for (int row = 1; row <= kMaxCatalogCrateTypes + 1; ++row)
        tooMany += QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('K%1', 1, 1, 1, 10, 4);").arg(row);
    QString manyWrong = create;
    for (int row = 1; row <= 12; ++row)
        manyWrong += QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('K%1', -1, 1, 1, 10, 4);").arg(row);
    const struct {
        const char* what;
        QString sql;
        const char16_t* said; // "" : no message
    } cases[] = {
        {"no table", QString(), u""},
        {"a limit that is not a number",
         create + QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('A', 1, 1, 1, 10, 4);"
                                 "INSERT INTO CRATE_TYPES VALUES ('B', 'много', 1, 1, 10, 4);"),
         u"строка 2 таблицы CRATE_TYPES (rowid 2, «B»): V5 = "},
        {"a name used twice",
         create + QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('A', 1, 1, 1, 10, 4);"
                                 "INSERT INTO CRATE_TYPES VALUES ('A', 2, 1, 1, 10, 4);"),
         u"строка 2 таблицы CRATE_TYPES (rowid 2, «A»): NAME повторяет имя строки выше"},
        {"slots out of range",
         create + QStringLiteral("INSERT INTO CRATE_TYPES VALUES ('A', 1, 1, 1, 10, 256);"),
         u"строка 1 таблицы CRATE_TYPES (rowid 1, «A»): SLOTS_COUNT = 256"},
        {"more than 64 rows", tooMany, u"в таблице CRATE_TYPES больше 64 строк"},
        // Every wrong row is a problem; the message names the first ten.
        {"twelve wrong rows", manyWrong,
         u"строка 10 таблицы CRATE_TYPES (rowid 10, «K10»): V5 отрицательно (-1)\r… и ещё 2\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FixtureCatalog catalog;
        catalog.WriteStandard();
        if (!c.sql.isEmpty())
            ExecSql(catalog.DatabasePath(), c.sql);
        Window window(catalog.Dir());
        ASSERT_NE(window->Database, nullptr);
        EXPECT_EQ(Rows(window->RackTypeCL), BuiltInRows());
        EXPECT_EQ(Ticks(*window.form), QStringLiteral("x......"));
        EXPECT_TRUE(window.recorder.errors.isEmpty());
        const QString said = QString::fromUtf16(c.said);
        if (said.isEmpty()) {
            EXPECT_TRUE(window.recorder.dialogs.empty());
            continue;
        }
        ASSERT_EQ(window.recorder.dialogs.size(), 1u);
        const DialogCall& dialog = window.recorder.dialogs[0];
        EXPECT_EQ(dialog.title, QStringLiteral("Veltrum Voltage Control Program"));
        EXPECT_TRUE(dialog.text.contains(said)) << dialog.text.toStdString();
        EXPECT_TRUE(dialog.text.contains(QStringLiteral("встроенные типы корзин")))
            << dialog.text.toStdString();
        // The window works on with the built-in types, and says nothing more.
        window->CodeRB->click();
        AddToBasket(*window.form, u"MK1-100");
        EXPECT_EQ(window->Basket->TickedCrateType().name, BuiltInCrateTypes()[0].name);
        EXPECT_EQ(window.recorder.dialogs.size(), 1u);
    }
}

TEST(CatalogCrateTypes, AnExportedCatalogEditedAndImportedShowsItsChangesInTheWindow)
{
    QTemporaryDir work;
    const QString csv = work.filePath(QStringLiteral("catalog.csv"));
    ExportCatalog(CratesSample(), csv, kDot);

    // A changed current: MK1-03 takes 1.25 A on +5 V instead of 1 A.
    QStringList blocks = ReadText(csv).split(QStringLiteral("\r\n"));
    ASSERT_EQ(blocks.value(0),
              QStringLiteral("IDENT,NAME_RUS,VIPR,SLOTS_COUNT,V5,V7,V_7,TOTAL_POWER,CATEGORY,"
                             "SUB_CATEGORY,CATEGORY_NAME,SUB_CATEGORY_NAME"));
    bool changed = false;
    for (QString& line : blocks) {
        if (!line.startsWith(QStringLiteral("MK1-03,")))
            continue;
        QStringList fields = line.split(u',');
        ASSERT_EQ(fields.value(4), QStringLiteral("1"));
        fields[4] = QStringLiteral("1.25");
        line = fields.join(u',');
        changed = true;
    }
    ASSERT_TRUE(changed);
    // A new block in a new category.
    while (!blocks.isEmpty() && blocks.last().isEmpty())
        blocks.removeLast();
    QString text = blocks.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    text += CatalogCsvRecord({QStringLiteral("CAN-2"), QStringLiteral("Модуль интерфейса CAN"),
                              QStringLiteral("ВЛТМ.468040.001"), QStringLiteral("1"),
                              QStringLiteral("0.45"), QStringLiteral("0.05"), QStringLiteral("0"),
                              QStringLiteral("3.1"), QString(), QString(),
                              QStringLiteral("Модули связи"), QString()},
                             u',');
    WriteText(csv, text);
    // A new crate type.
    const QString crates = CratesCsvPath(csv);
    const QString cratesText = ReadText(crates);
    ASSERT_TRUE(cratesText.startsWith(QStringLiteral("NAME,V5,V7,V_7,TOTAL_POWER,SLOTS_COUNT\r\n")));
    WriteText(crates, cratesText + CatalogCsvRecord({QStringLiteral("KSV-6 (QT60)"),
                                                     QStringLiteral("7.5"), QStringLiteral("2"),
                                                     QStringLiteral("1.5"), QStringLiteral("60"),
                                                     QStringLiteral("6")},
                                                    u','));

    const QString imported = work.filePath(QStringLiteral("new"));
    const CatalogImportResult result = ImportCatalog(csv, imported);
    EXPECT_EQ(result.blocks, 9);
    EXPECT_EQ(result.crateTypes, 5);
    const CatalogCheckResult check = CheckCatalog(imported);
    EXPECT_EQ(check.Count(CheckSeverity::Error), 0) << CheckReportText(check).toStdString();

    Window window(imported);
    TMainForm& form = *window.form;
    ASSERT_NE(form.Database, nullptr);
    EXPECT_TRUE(window.recorder.dialogs.empty());
    // The new crate type with its limits, last in the list.
    EXPECT_EQ(Rows(form.RackTypeCL).size(), 5);
    EXPECT_EQ(Rows(form.RackTypeCL).value(4), QStringLiteral("KSV-6 (QT60)\t7.5\t2\t1.5\t60\t6"));
    // The new block in its category, the fourth.
    ASSERT_EQ(form.CategoryField->count(), 4);
    EXPECT_EQ(form.CategoryField->itemText(3), QStringLiteral("Модули связи"));
    PickItem(form.CategoryField, 3);
    ASSERT_EQ(Rows(form.BlockTabLB).size(), 1);
    EXPECT_TRUE(Rows(form.BlockTabLB)[0].startsWith(QStringLiteral("CAN-2\t")));
    // The changed current in a sum.
    form.CodeRB->click();
    AddToBasket(form, u"MK1-03", 2);
    EXPECT_EQ(TotalsField(form, 1), QStringLiteral("2.5"));
    // The new crate type ticked: its limits in the budget.
    TickRackType(form, 4);
    EXPECT_EQ(HeadroomField(form, 1), QStringLiteral("5 (33 %)"));
}
