#include "UiLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

namespace {

const char* const englishCatalogue = ":/brelvane/translations/brelvane_en.qm";

} // namespace

// The catalogue lives in a static library: registering it by hand keeps the linker from
// dropping it, since nothing else refers to it. Outside any namespace, as the macro requires.
static void registerCatalogues()
{
    Q_INIT_RESOURCE(brelvane_translations);
}

bool UiLanguage::prefersEnglish(const QStringList& uiLanguages)
{
    if (uiLanguages.isEmpty()) {
        return false;
    }
    return QLocale(uiLanguages.first()).language() == QLocale::English;
}

bool UiLanguage::install(QCoreApplication& application)
{
    return install(application, QLocale::system().uiLanguages());
}

bool UiLanguage::install(QCoreApplication& application, const QStringList& uiLanguages)
{
    if (!prefersEnglish(uiLanguages)) {
        return false;
    }
    registerCatalogues();
    auto* translator = new QTranslator(&application);
    if (!translator->load(QString::fromLatin1(englishCatalogue)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
