#include "appearance/icon_for_name.h"

#include <QFile>
#include <QHash>
#include <QImageReader>

// A static library's resources are registered only when something asks for them.
static void registerIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace tardigo {

QIcon iconForName(const QString& name) {
    if (name.isEmpty())
        return {};
    // Built-in names hold no slash, so a user's path never reaches into the resources. Each built-in icon
    // is made once and shared, as rows are drawn and sorted many times (GUI thread only).
    if (!name.contains(QLatin1Char('/'))) {
        static QHash<QString, QIcon> builtIns;
        static const bool registered = (registerIconResources(), true);
        Q_UNUSED(registered);
        if (const auto found = builtIns.constFind(name); found != builtIns.constEnd())
            return *found;
        const QString resource = QStringLiteral(":/icons/%1.svg").arg(name);
        if (QFile::exists(resource))
            return *builtIns.insert(name, QIcon(resource));
    }
    // A file is read afresh at every request, so a changed image shows at the next redraw.
    if (!QImageReader(name).canRead())
        return {};
    return QIcon(name);
}

} // namespace tardigo
