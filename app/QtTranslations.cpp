// SPDX-License-Identifier: MIT
#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale)
{
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // "qt" is a catalog of the module catalogs installed with it; "qtbase"
    // stands alone where only it is installed.
    for (const char* catalog : {"qt", "qtbase"}) {
        auto* translator = new QTranslator(&application);
        if (translator->load(locale, QString::fromLatin1(catalog), QStringLiteral("_"),
                             directory) &&
            QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
    }
    return false;
}
