#include "outline/icon_names.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace tardigo {

namespace {

const QString kBuiltInPrefix = QStringLiteral("vk_");

// What each built-in picture shows, in English.
const QHash<QString, const char*>& builtInNames() {
    static const QHash<QString, const char*> names{
        {QStringLiteral("vk_newitem"), QT_TRANSLATE_NOOP("IconNames", "Sparkles")},
        {QStringLiteral("vk_notdone"), QT_TRANSLATE_NOOP("IconNames", "Empty box")},
        {QStringLiteral("vk_check1"), QT_TRANSLATE_NOOP("IconNames", "Gray check mark")},
        {QStringLiteral("vk_check2"), QT_TRANSLATE_NOOP("IconNames", "Blue check mark")},
        {QStringLiteral("vk_check3"), QT_TRANSLATE_NOOP("IconNames", "Purple check mark")},
        {QStringLiteral("vk_check4"), QT_TRANSLATE_NOOP("IconNames", "Orange check mark")},
        {QStringLiteral("vk_check5"), QT_TRANSLATE_NOOP("IconNames", "Red check mark")},
        {QStringLiteral("vk_check6"), QT_TRANSLATE_NOOP("IconNames", "Green check mark")},
        {QStringLiteral("vk_checkmark"), QT_TRANSLATE_NOOP("IconNames", "Check mark")},
        {QStringLiteral("vk_black-bullet"), QT_TRANSLATE_NOOP("IconNames", "Black bullet")},
        {QStringLiteral("vk_green-bullet"), QT_TRANSLATE_NOOP("IconNames", "Green bullet")},
        {QStringLiteral("vk_blue-bullet"), QT_TRANSLATE_NOOP("IconNames", "Blue bullet")},
        {QStringLiteral("vk_red-bullet"), QT_TRANSLATE_NOOP("IconNames", "Red bullet")},
        {QStringLiteral("vk_yellow-star-1"), QT_TRANSLATE_NOOP("IconNames", "Yellow star")},
        {QStringLiteral("vk_yellow-star-2"), QT_TRANSLATE_NOOP("IconNames", "White star on yellow")},
        {QStringLiteral("vk_red-star-1"), QT_TRANSLATE_NOOP("IconNames", "Red star")},
        {QStringLiteral("vk_red-star-2"), QT_TRANSLATE_NOOP("IconNames", "White star on red")},
        {QStringLiteral("vk_mosaic"), QT_TRANSLATE_NOOP("IconNames", "Mosaic")},
        {QStringLiteral("vk_finger"), QT_TRANSLATE_NOOP("IconNames", "Pointing hand")},
        {QStringLiteral("vk_gears"), QT_TRANSLATE_NOOP("IconNames", "Gears")},
        {QStringLiteral("vk_heart"), QT_TRANSLATE_NOOP("IconNames", "Heart")},
        {QStringLiteral("vk_pencil"), QT_TRANSLATE_NOOP("IconNames", "Pencil")},
        {QStringLiteral("vk_phone1"), QT_TRANSLATE_NOOP("IconNames", "Telephone")},
        {QStringLiteral("vk_phone2"), QT_TRANSLATE_NOOP("IconNames", "Ringing phone")},
        {QStringLiteral("vk_pirate"), QT_TRANSLATE_NOOP("IconNames", "Skull and crossbones")},
        {QStringLiteral("vk_radioactive"), QT_TRANSLATE_NOOP("IconNames", "Radioactive")},
        {QStringLiteral("vk_bubble"), QT_TRANSLATE_NOOP("IconNames", "Speech bubble")},
        {QStringLiteral("vk_signal"), QT_TRANSLATE_NOOP("IconNames", "Signal bars")},
        {QStringLiteral("vk_smiley"), QT_TRANSLATE_NOOP("IconNames", "Smiling face")},
        {QStringLiteral("vk_time"), QT_TRANSLATE_NOOP("IconNames", "Clock")},
        {QStringLiteral("vk_umbrella"), QT_TRANSLATE_NOOP("IconNames", "Umbrella")},
    };
    return names;
}

} // namespace

QString iconDisplayName(const QString& icon) {
    if (const auto name = builtInNames().constFind(icon); name != builtInNames().cend())
        return QCoreApplication::translate("IconNames", *name);
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
