// SPDX-License-Identifier: MIT
#pragma once

// Qt's own texts (the context menu of an edit field, the buttons of file
// and message dialogs) in the user's language, like the rest of the window.

#include <QLocale>

class QCoreApplication;

// Installs Qt's translations for `locale` from Qt's translations directory
// (Debian's qt6-translations-l10n) into `application`; the translators
// belong to it. False when none is found for the locale, in which case Qt
// speaks English, as it does without them.
bool InstallQtTranslations(QCoreApplication& application, const QLocale& locale);
