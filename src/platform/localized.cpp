#include "platform/localized.h"

#include <QCoreApplication>

namespace tardigo {

QString localized(const QString& key) {
    return QCoreApplication::translate("Tardigo", key.toUtf8().constData());
}

} // namespace tardigo
