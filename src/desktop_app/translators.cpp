#include "desktop_app/translators.h"

#include "platform/translations.h"
#include "widgets/gui_log.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tardigo {

void installTranslators() {
    // A user who reads Tardigo in English reads Qt's dialogs in English too.
    if (!installTranslations(QLocale()))
        return;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"), qtFolder)) {
        QCoreApplication::installTranslator(translator);
        return;
    }
    delete translator;
    qCInfo(lcApp).noquote() << "Qt's own dialogs stay in English: no qtbase translation for"
                            << QLocale().name() << "in" << qtFolder;
}

} // namespace tardigo
