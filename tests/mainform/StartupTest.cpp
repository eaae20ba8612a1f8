// SPDX-License-Identifier: MIT
// Start-up and shutdown of the main window on fixture catalogs.

#include "WindowDriver.h"

#include "kit/CheckList.h"
#include "kit/FieldColorListBox.h"
#include "kit/Header.h"
#include "kit/Platform.h"
#include "catalog/SQLiteTable3.h"
#include "kit/TabbedListBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QMenu>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <utility>

#include <gtest/gtest.h>

namespace {

QStringList Entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

const QString kNotFoundText =
    QStringLiteral("\rФАЙЛ БАЗЫ ДАННЫХ \"ВЕЛТРУМ\" НЕ НАЙДЕН! \r\r"
                   "ПРОВЕРЬТЕ, ЧТО ФАЙЛ БАЗЫ ДАННЫХ \"VELTRUM.db\" НАХОДИТСЯ В ТОМ ЖЕ КАТАЛОГЕ,\r"
                   "ЧТО И ИСПОЛНЯЕМЫЙ ФАЙЛ ПРОГРАММЫ.");

} // namespace

TEST(Startup, OpensTheCatalogInItsDirectoryWhateverTheWorkingDirectory)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    // The working directory holds a file of the same name that is no catalog.
    QTemporaryDir elsewhere;
    QFile decoy(elsewhere.filePath(QStringLiteral("VELTRUM.db")));
    ASSERT_TRUE(decoy.open(QIODevice::WriteOnly));
    decoy.write("not a database");
    decoy.close();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());

    Window window(catalog.Dir());
    QDir::setCurrent(previous);

    EXPECT_TRUE(window.recorder.dialogs.empty());
    EXPECT_TRUE(window.recorder.errors.isEmpty());
    ASSERT_NE(window->Database, nullptr);
    EXPECT_EQ(window->CategoryField->count(), 24);
    EXPECT_EQ(window->CategoryField->currentIndex(), -1);
    EXPECT_EQ(window->RackTypeCL->Items().Count(), 7);
    EXPECT_TRUE(window->isVisible());

    // The category box is editable, and its drop-down, built when it first
    // opens, lists every category.
    ASSERT_NE(window->CategoryField->lineEdit(), nullptr);
    window->CategoryField->showPopup();
    QAbstractItemView* dropDown = window->CategoryField->view();
    EXPECT_TRUE(QTest::qWaitFor([&] { return dropDown->isVisible(); }));
    EXPECT_EQ(dropDown->model()->rowCount(), 24);
    window->CategoryField->hidePopup();
}

TEST(Startup, MissingCatalogIsReportedOnceAndEndsTheProgramCreatingNothing)
{
    FixtureCatalog catalog;
    catalog.WriteCategories({QStringLiteral("Одна категория")});
    const QStringList before = Entries(catalog.Dir());

    Window window(catalog.Dir());
    EXPECT_TRUE(WaitUntilClosed(window));

    ASSERT_EQ(window.recorder.dialogs.size(), 1u);
    const DialogCall& call = window.recorder.dialogs.front();
    EXPECT_EQ(call.title, QStringLiteral("Veltrum Database System"));
    EXPECT_EQ(call.text, kNotFoundText);
    EXPECT_EQ(call.icon, IDI_HAND);
    EXPECT_EQ(call.buttons, QStringList{QStringLiteral("OK")});
    EXPECT_EQ(window->Database, nullptr);
    EXPECT_EQ(Entries(catalog.Dir()), before);
}

TEST(Startup, CatalogThatCannotBeOpenedIsReportedAndEndsTheProgram)
{
    struct Case {
        const char* name;
        void (*make)(const QString& path);
    };
    const Case cases[] = {
        {"a directory", [](const QString& path) { QDir().mkpath(path); }},
        {"random bytes",
         [](const QString& path) {
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(4096, '\x5a'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FixtureCatalog catalog;
        catalog.WriteCategories({QStringLiteral("Одна категория")});
        c.make(catalog.DatabasePath());

        Window window(catalog.Dir());
        ExpectOpeningFailed(window);
    }
}

TEST(Startup, UnreadableCategoryListIsReportedAndTheCodeSearchStillWorks)
{
    FixtureCatalog catalog;
    catalog.AddBlocks({{QStringLiteral("MK1-1"), QStringLiteral("Модуль"), QStringLiteral("А"), 1,
                        0.1, 0.1, 0.1, 1, 1, 0}});

    Window window(catalog.Dir());
    ASSERT_EQ(window.recorder.errors.size(), 1);
    EXPECT_TRUE(window.recorder.errors[0].contains(QStringLiteral("Category000.itm")))
        << window.recorder.errors[0].toStdString();
    EXPECT_EQ(window->CategoryField->count(), 0);
    ASSERT_NE(window->Database, nullptr);

    window->CodeRB->click();
    SearchCode(*window.form, QStringLiteral("mk1"));
    EXPECT_EQ(Rows(window->BlockTabLB), QStringList{QStringLiteral("MK1-1\tМодуль")});
}

TEST(Startup, ExitClosesTheWindowWithABasketWithoutAsking)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    Window window(catalog.Dir());
    window->CodeRB->click();
    SearchCode(*window.form, QStringLiteral("MK1-100"));
    ClickRow(window->BlockTabLB, 0);
    window->AddBtn->click();
    ASSERT_EQ(window->Devices.size(), 1u);

    window->ExitItem->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window.recorder.dialogs.empty());
    window.form.reset(); // releases the basket and closes the catalog
}

// Style sheets, tests and inspection tools find each control by its member's
// name, and by no other object's.
TEST(Startup, EveryControlIsFoundByItsMemberName)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    Window window(catalog.Dir());
    TMainForm& form = *window.form;
#define CONTROL(member) std::pair<QObject*, QString>(form.member, QStringLiteral(#member))
    const std::pair<QObject*, QString> controls[] = {
        CONTROL(ExitItem),       CONTROL(MainSplitter),     CONTROL(UpSplitter),
        CONTROL(DownGB),         CONTROL(CategoryRB),       CONTROL(CodeRB),
        CONTROL(CategoryPanel),  CONTROL(CodePanel),        CONTROL(CategoryField),
        CONTROL(SubCategoryField), CONTROL(FindIdentField), CONTROL(TableHeader),
        CONTROL(BlockTabLB),     CONTROL(AddBtn),           CONTROL(RightGB),
        CONTROL(FCategoryField), CONTROL(FSubCategoryField), CONTROL(FNameRusField),
        CONTROL(FIdentField),    CONTROL(FVIPRField),       CONTROL(FSlotsCountField),
        CONTROL(FV5Field),       CONTROL(FV7Field),         CONTROL(F_V7Field),
        CONTROL(FTotalPowerField), CONTROL(RackGB),         CONTROL(RackTypeCL),
        CONTROL(RackHeader),     CONTROL(RackTabLB),        CONTROL(DelBtn),
        CONTROL(ClearBtn),       CONTROL(TotalTabLB),       CONTROL(HeadroomTabLB),
        CONTROL(FVerdictField),  CONTROL(MarginField),      CONTROL(SaveBtn),
        CONTROL(OpenBtn),        CONTROL(RecentBtn),        CONTROL(RecentMenu),
        CONTROL(ExportBtn),      CONTROL(ReportBtn),
    };
#undef CONTROL
    for (const auto& [member, name] : controls) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(member->objectName(), name);
        EXPECT_EQ(form.findChildren<QObject*>(name).size(), 1);
    }
}
