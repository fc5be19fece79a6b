#include "desktop_app/translators.h"

#include "widgets/gui_log.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tardigo {

namespace {
bool install(const QString& name, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QLocale(), name, QStringLiteral("_"), folder)) {
        QCoreApplication::installTranslator(translator);
        return true;
    }
    delete translator;
    return false;
}
} // namespace

void installTranslators() {
    // English is the texts' own language and has no file; any other language without one stays English.
    if (!install(QStringLiteral("tardigo"), QStringLiteral(":/i18n")))
        return;
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!install(QStringLiteral("qtbase"), qtFolder))
        qCInfo(lcApp).noquote() << "Qt's own dialogs stay in English: no qtbase translation for"
                                << QLocale().name() << "in" << qtFolder;
}

} // namespace tardigo
