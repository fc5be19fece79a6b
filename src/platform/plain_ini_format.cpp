#include "platform/plain_ini_format.h"

#include <QIODevice>
#include <QTextStream>

namespace tardigo {

namespace {

const QString kGeneral = QStringLiteral("General");

bool readPlainIni(QIODevice& device, QSettings::SettingsMap& map) {
    QTextStream in(&device);
    in.setEncoding(QStringConverter::Utf8);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            group = line.mid(1, line.size() - 2).trimmed();
            if (group == kGeneral)
                group.clear();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            continue; // not a setting: a hand-edited file keeps its other lines readable
        const QString key = line.left(equals).trimmed();
        map.insert(group.isEmpty() ? key : group + u'/' + key, line.mid(equals + 1).trimmed());
    }
    return true;
}

bool writePlainIni(QIODevice& device, const QSettings::SettingsMap& map) {
    QTextStream out(&device);
    out.setEncoding(QStringConverter::Utf8);
    out << "; Tardigo's preferences. `tardigo-cli config` lists every one with its value.\n";
    // The plain values first, then one group a dictionary.
    out << "[" << kGeneral << "]\n";
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (!it.key().contains(u'/'))
            out << it.key() << '=' << it.value().toString() << '\n';
    QString group;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        if (slash < 0)
            continue;
        if (it.key().left(slash) != group) {
            group = it.key().left(slash);
            out << "\n[" << group << "]\n";
        }
        out << it.key().mid(slash + 1) << '=' << it.value().toString() << '\n';
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}

} // namespace

QSettings::Format plainIniFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), readPlainIni, writePlainIni, Qt::CaseSensitive);
    return format;
}

} // namespace tardigo
