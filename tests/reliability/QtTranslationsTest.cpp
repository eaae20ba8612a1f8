// SPDX-License-Identifier: MIT
// Qt's own texts follow the user's locale: Russian under a Russian locale,
// Qt's English where no translation exists.

#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

// The edit field context menu's first entry, as Qt looks it up.
QString UndoText()
{
    return QCoreApplication::translate("QLineEdit", "&Undo");
}

void RemoveTranslators()
{
    for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace

TEST(QtTranslations, RussianLocaleGivesRussianQtTexts)
{
    ASSERT_EQ(UndoText(), QStringLiteral("&Undo"));
    EXPECT_TRUE(InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Russian)));
    EXPECT_EQ(UndoText(), QStringLiteral("&Отменить действие"));
    RemoveTranslators();
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo"));
}

TEST(QtTranslations, ALanguageQtHasNoTranslationForLeavesEnglish)
{
    EXPECT_FALSE(InstallQtTranslations(*QCoreApplication::instance(), QLocale(QLocale::Zulu)));
    EXPECT_EQ(UndoText(), QStringLiteral("&Undo"));
    RemoveTranslators();
}
