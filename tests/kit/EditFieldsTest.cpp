// SPDX-License-Identifier: MIT
#include "kit/ComboCompletion.h"
#include "kit/EditFocusColour.h"
#include "QStringPrinter.h"
#include "TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// An editable combo box of three items with the completion attached.
struct CompletingCombo {
    CompletingCombo()
    {
        combo.setLineEdit(new QLineEdit(&combo));
        combo.setInsertPolicy(QComboBox::NoInsert);
        combo.addItems({QStringLiteral("Блоки питания"), QStringLiteral("Заглушки"),
                        QStringLiteral("Заглушки и принадлежности")});
        combo.setCurrentIndex(-1);
        completion = TComboCompletion::Attach(combo);
    }
    QLineEdit& edit() { return *combo.lineEdit(); }

    QComboBox combo;
    TComboCompletion* completion = nullptr;
};

TEST(ComboCompletion, TypedTextChoosesTheFirstItemItBeginsAndSelectsTheRest)
{
    const struct {
        const char* typed;
        int item;
        const char* text;
        int selectionStart; // -1: nothing selected
    } cases[] = {
        {"з", 1, "Заглушки", 1},           // case does not matter; the first of two
        {"ЗАГЛУШКИ И", 2, "Заглушки и принадлежности", 10},
        {"Блоки питания", 0, "Блоки питания", -1}, // the whole item: nothing left to select
        {"Кабели", -1, "Кабели", -1},      // begins no item: stays as typed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CompletingCombo combo;
        QSignalSpy edited(combo.completion, &TComboCompletion::Edited);
        TypeText(&combo.edit(), QString::fromUtf8(c.typed));
        EXPECT_EQ(combo.combo.currentIndex(), c.item);
        EXPECT_EQ(combo.edit().text(), QString::fromUtf8(c.text));
        EXPECT_EQ(combo.edit().selectionStart(), c.selectionStart);
        EXPECT_EQ(edited.count(), QString::fromUtf8(c.typed).size()); // once per key
        EXPECT_EQ(combo.combo.completer(), nullptr);
    }
}

TEST(ComboCompletion, DeletingTakesTheCompletionBackUntilTheNextCharacter)
{
    CompletingCombo combo;
    TypeText(&combo.edit(), QStringLiteral("за"));
    ASSERT_EQ(combo.edit().text(), QStringLiteral("Заглушки"));

    // The selected completion goes; what is left keeps the item's letters.
    QTest::keyClick(&combo.edit(), Qt::Key_Backspace);
    EXPECT_EQ(combo.edit().text(), QStringLiteral("За"));
    EXPECT_EQ(combo.combo.currentIndex(), -1);
    QTest::keyClick(&combo.edit(), Qt::Key_Backspace);
    EXPECT_EQ(combo.edit().text(), QStringLiteral("З"));
    EXPECT_EQ(combo.combo.currentIndex(), -1);

    TypeText(&combo.edit(), QStringLiteral("а"));
    EXPECT_EQ(combo.edit().text(), QStringLiteral("Заглушки"));
    EXPECT_EQ(combo.combo.currentIndex(), 1);
}

TEST(EditFocusColour, TheFocusedFieldWearsTheColourAndGivesItBack)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* other = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    const QColor focusColour(240, 240, 240);
    ShowFocusInColour(*edit, focusColour);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QColor usual = QApplication::palette(edit).color(QPalette::Base);
    ASSERT_NE(usual, focusColour);

    other->setFocus();
    EXPECT_EQ(edit->palette().color(QPalette::Base), usual);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    EXPECT_EQ(edit->palette().color(QPalette::Base), focusColour);
    other->setFocus();
    EXPECT_EQ(edit->palette().color(QPalette::Base), usual);
    EXPECT_EQ(other->palette().color(QPalette::Base), usual); // only the field it was given
}

} // namespace
