#include "platform/translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace tardigo {

bool installTranslations(const QLocale& locale) {
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    for (const QString& language : locale.uiLanguages()) {
        const QString code = language.section(u'-', 0, 0);
        if (code == QLatin1String("en"))
            return false;
        // Built into the core from translations/tardigo_LANG.ts.
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QStringLiteral(":/i18n/tardigo_") + code)) {
            installed = translator;
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}

} // namespace tardigo
