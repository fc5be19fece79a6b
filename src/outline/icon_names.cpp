#include "outline/icon_names.h"

#include "platform/localized.h"

#include <QFileInfo>
#include <QHash>

namespace tardigo {

namespace {

const QString kBuiltInPrefix = QStringLiteral("vk_");

// What each built-in picture shows; the names are keys of the string table.
const QHash<QString, const char*>& builtInNames() {
    static const QHash<QString, const char*> names{
        {QStringLiteral("vk_newitem"), "Sparkles"},
        {QStringLiteral("vk_notdone"), "Empty box"},
        {QStringLiteral("vk_check1"), "Gray check mark"},
        {QStringLiteral("vk_check2"), "Blue check mark"},
        {QStringLiteral("vk_check3"), "Purple check mark"},
        {QStringLiteral("vk_check4"), "Orange check mark"},
        {QStringLiteral("vk_check5"), "Red check mark"},
        {QStringLiteral("vk_check6"), "Green check mark"},
        {QStringLiteral("vk_checkmark"), "Check mark"},
        {QStringLiteral("vk_black-bullet"), "Black bullet"},
        {QStringLiteral("vk_green-bullet"), "Green bullet"},
        {QStringLiteral("vk_blue-bullet"), "Blue bullet"},
        {QStringLiteral("vk_red-bullet"), "Red bullet"},
        {QStringLiteral("vk_yellow-star-1"), "Yellow star"},
        {QStringLiteral("vk_yellow-star-2"), "White star on yellow"},
        {QStringLiteral("vk_red-star-1"), "Red star"},
        {QStringLiteral("vk_red-star-2"), "White star on red"},
        {QStringLiteral("vk_mosaic"), "Mosaic"},
        {QStringLiteral("vk_finger"), "Pointing hand"},
        {QStringLiteral("vk_gears"), "Gears"},
        {QStringLiteral("vk_heart"), "Heart"},
        {QStringLiteral("vk_pencil"), "Pencil"},
        {QStringLiteral("vk_phone1"), "Telephone"},
        {QStringLiteral("vk_phone2"), "Ringing phone"},
        {QStringLiteral("vk_pirate"), "Skull and crossbones"},
        {QStringLiteral("vk_radioactive"), "Radioactive"},
        {QStringLiteral("vk_bubble"), "Speech bubble"},
        {QStringLiteral("vk_signal"), "Signal bars"},
        {QStringLiteral("vk_smiley"), "Smiling face"},
        {QStringLiteral("vk_time"), "Clock"},
        {QStringLiteral("vk_umbrella"), "Umbrella"},
    };
    return names;
}

} // namespace

QString iconDisplayName(const QString& icon) {
    if (const auto name = builtInNames().constFind(icon); name != builtInNames().cend())
        return localized(QString::fromLatin1(*name));
    if (icon.contains(u'/') || !icon.startsWith(kBuiltInPrefix))
        return QFileInfo(icon).completeBaseName();
    // A built-in icon this build does not draw (a newer build's): its words, as a name starts.
    QString words = icon.mid(kBuiltInPrefix.size());
    words.replace(u'-', u' ').replace(u'_', u' ');
    if (!words.isEmpty())
        words[0] = words.at(0).toUpper();
    return words;
}

} // namespace tardigo
