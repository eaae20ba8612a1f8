// SPDX-License-Identifier: MIT
// A whole ordinary session on the standard catalog changes no byte of the
// catalog or the category files and leaves no journal beside them.

#include "CatalogFiles.h"
#include "WindowDriver.h"

#include "kit/TabbedListBox.h"

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

TEST(ReadOnlySession, SearchesDetailsAndBasketWriteNothing)
{
    FixtureCatalog catalog;
    catalog.WriteStandard();
    const DirectoryContents before = ContentsOf(catalog.Dir());
    ASSERT_EQ(before.size(), 6u); // VELTRUM.db, Category and its four files
    {
        Window window(catalog.Dir());
        TMainForm& form = *window.form;
        TickRackType(form, 4); // 17 slots
        PickItem(form.CategoryField, 5);
        ClickRow(form.BlockTabLB, 2);
        form.AddBtn->click();
        PickItem(form.CategoryField, 20);
        PickItem(form.SubCategoryField, 0);
        ClickRow(form.BlockTabLB, 0);
        form.AddBtn->click();
        form.CodeRB->click();
        SearchCode(form, QStringLiteral("sub-324"));
        ClickRow(form.BlockTabLB, 0);
        form.AddBtn->click();
        ASSERT_EQ(form.Devices.size(), 3u) << window.recorder.errors.join(u'|').toStdString();
        ClickRow(form.RackTabLB, 1);
        form.DelBtn->click();
        TickRackType(form, 0); // 4 slots: the basket's 4 still fit
        window.recorder.nextAnswer = 1;
        form.ClearBtn->click();
        EXPECT_TRUE(form.Devices.empty());
        EXPECT_TRUE(window.recorder.errors.isEmpty());
        EXPECT_EQ(ContentsOf(catalog.Dir()), before) << "while the catalog is open";
    }
    EXPECT_EQ(ContentsOf(catalog.Dir()), before);
}
