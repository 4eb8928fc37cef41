// Picks the language of the operator's texts at start-up: the English translation compiled into
// the program when the operator's first UI language is English, the Chinese source texts
// otherwise.
#pragma once

#include <QStringList>

class QCoreApplication;

class UiLanguage
{
public:
    // Whether the most preferred of `uiLanguages` (as QLocale::uiLanguages() lists them, the
    // operator's first choice first) is English. The C and POSIX locales are not.
    static bool prefersEnglish(const QStringList& uiLanguages);

    // Installs the English translation on `application` when the system locale's first UI
    // language (from LANGUAGE, LC_ALL, LC_MESSAGES or LANG) is English; returns whether it did.
    static bool install(QCoreApplication& application);
    static bool install(QCoreApplication& application, const QStringList& uiLanguages);
};
