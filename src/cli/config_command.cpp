#include "cli_args.h"
#include "cli_output.h"
#include "commands.h"
#include "platform/untrusted_text.h"

#include "platform/ini_text.h"
#include "platform/preference_table.h"
#include "platform/settings.h"

namespace tardigo::cli {

namespace {

const QString kReset = QStringLiteral("--reset");
const char* const kSynopsis = "config [KEY [VALUE]] | config --reset KEY";

const Preference* preferenceNamed(const QString& key) {
    const Preference* preference = preferenceForKey(key);
    if (!preference)
        fail(QStringLiteral("there is no preference “%1”; “tardigo-cli config” lists them.")
                 .arg(terminalSafe(key)));
    return preference;
}

QString valueText(const Preference& preference) {
    const Value value = Settings::instance().value(preference.key);
    return value.isNil() ? QString() : iniText(value, preference.kind).value_or(QString());
}

int list() {
    const Settings& settings = Settings::instance();
    for (const Preference& preference : preferenceTable()) {
        const QString state = settings.contains(preference.key)      ? QStringLiteral("set")
                              : preference.registeredDefault.isNil() ? QStringLiteral("unset")
                                                                     : QStringLiteral("default");
        QString line =
            preference.key.leftJustified(28) + u' ' + state.leftJustified(8) + u' ' + valueText(preference);
        if (preference.range)
            line += QStringLiteral("  (%1)").arg(preference.range->description());
        out() << QStringView(line).trimmed() << '\n';
    }
    return Success;
}

int save() {
    if (!Settings::instance().sync())
        return fail(QStringLiteral("the preferences could not be written to “%1”.")
                        .arg(Settings::instance().fileName()));
    return Success;
}

int set(const Preference& preference, const QString& text) {
    const std::optional<Value> value = valueFromIniText(text, preference.kind);
    if (!value)
        return fail(QStringLiteral("“%1” is not right for %2, which takes %3.")
                        .arg(terminalSafe(text), preference.key, preferenceKindDescription(preference.kind)));
    if (!preferenceAccepts(preference.key, *value)) {
        const NumberRange& range = *preference.range;
        const QString takes = preference.kind == PreferenceKind::IntegerDictionary
                                  ? QStringLiteral("numbers %1")
                              : range.endsOnly ? QStringLiteral("%1")
                                               : QStringLiteral("a number %1");
        return fail(QStringLiteral("%1 is out of range for %2, which takes %3.")
                        .arg(terminalSafe(text), preference.key, takes.arg(range.description())));
    }
    Settings::instance().setValue(preference.key, *value);
    return save();
}

} // namespace

int commandConfig(const QStringList& args) {
    QString error;
    const std::optional<CliArgs> parsed = CliArgs::parse(args, {}, {kReset}, &error);
    if (!parsed) {
        err() << "tardigo-cli: " << error << Qt::endl;
        return usage(QString::fromLatin1(kSynopsis));
    }
    const QStringList& words = parsed->positional;
    const bool reset = parsed->flags.contains(kReset);
    if (words.size() > 2 || (reset && words.size() != 1))
        return usage(QString::fromLatin1(kSynopsis));
    if (words.isEmpty())
        return list();
    const Preference* preference = preferenceNamed(words.front());
    if (!preference)
        return Failure;
    if (reset) {
        Settings::instance().remove(preference->key);
        return save();
    }
    if (words.size() == 2)
        return set(*preference, words.at(1));
    out() << valueText(*preference) << '\n';
    return Success;
}

} // namespace tardigo::cli
