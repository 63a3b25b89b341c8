#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

// Makes the locale's text codec UTF-8 when it cannot represent Cyrillic (an ASCII or Western
// single-byte locale), so that Russian text survives the way to the terminal and to file names.
void ensureCyrillicLocaleCodec();

// Writes the start banner and the program version, the first two lines of every run.
void logStartBanner();

// Installs Qt's own Russian texts (the standard buttons, the file dialog, the context menus of
// text fields) from `directory`, so that they match the program's Russian whatever the locale.
// The translator belongs to `application`. False, with nothing installed, when they are missing.
bool installQtTranslations(
    QCoreApplication &application,
    const QString &directory = QLibraryInfo::location(QLibraryInfo::TranslationsPath));
