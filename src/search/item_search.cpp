#include "search/item_search.h"

#include "model/item_walk.h"
#include "model/keys.h"
#include "model/node_operations.h"
#include "rich_text/notes_text.h"

#include <QRegularExpression>

#include <algorithm>

namespace tardigo {

namespace {

/// The character's base letter where its canonical decomposition is that letter and accents; the
/// character itself otherwise (Hangul syllables, ligatures and the like keep their form).
QChar withoutAccent(QChar c) {
    if (c.decompositionTag() != QChar::Canonical)
        return c;
    const QString parts = QString(c).normalized(QString::NormalizationForm_D);
    if (parts.isEmpty() || parts.at(0).isSurrogate())
        return c;
    const bool onlyMarks =
        std::all_of(parts.begin() + 1, parts.end(), [](QChar part) { return part.isMark(); });
    return onlyMarks ? parts.at(0) : c;
}

} // namespace

QString foldForSearch(const QString& text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i].unicode();
        // Most text is ASCII, whose letters have no accents and fold to their lower case: a list of
        // 100,000 items is folded whole at a search's first letter.
        if (c < 0x80)
            out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
        // Surrogate halves stay as they are: a letter outside the first plane is matched exactly.
        else
            out[i] = in[i].isSurrogate() ? in[i] : withoutAccent(in[i]).toCaseFolded();
    }
    return folded;
}

QString foldedNameAndCategory(const Dict& item) {
    const QString* category = item.value(key::category).asString();
    const QString name = stringOf(item, key::name);
    return foldForSearch(category && !category->isEmpty() ? name + u' ' + *category : name);
}

QString searchableText(const Dict& item) {
    const QByteArray* notes = item.value(key::notes).asData();
    const QString notesText = notes ? notesPlainText(*notes).value_or(QString()) : QString();
    return QStringList{stringOf(item, key::name), stringOf(item, key::category), notesText}.join(u' ');
}

ItemSearch::ItemSearch(const QString& typed) {
    static const QRegularExpression whitespace(QStringLiteral("\\s+"));
    _words = foldForSearch(typed).split(whitespace, Qt::SkipEmptyParts);
}

bool ItemSearch::matchesFolded(const QString& folded) const {
    return std::all_of(_words.begin(), _words.end(),
                       [&folded](const QString& word) { return folded.contains(word); });
}

bool ItemSearch::matchesFoldedParts(std::initializer_list<QStringView> parts) const {
    return std::all_of(_words.begin(), _words.end(), [&parts](const QString& word) {
        return std::any_of(parts.begin(), parts.end(),
                           [&word](QStringView part) { return part.contains(word); });
    });
}

bool ItemSearch::narrows(const ItemSearch& previous) const {
    return std::all_of(previous._words.begin(), previous._words.end(), [this](const QString& before) {
        return std::any_of(_words.begin(), _words.end(),
                           [&before](const QString& word) { return word.contains(before); });
    });
}

QList<std::pair<qsizetype, qsizetype>> ItemSearch::occurrencesIn(const QString& shown) const {
    const QString folded = foldForSearch(shown);
    QList<std::pair<qsizetype, qsizetype>> found;
    for (const QString& word : _words)
        for (qsizetype at = folded.indexOf(word); at >= 0; at = folded.indexOf(word, at + 1))
            found.append({at, word.size()});
    std::sort(found.begin(), found.end());
    QList<std::pair<qsizetype, qsizetype>> merged;
    for (const auto& [start, length] : std::as_const(found)) {
        if (!merged.isEmpty() && start <= merged.last().first + merged.last().second)
            merged.last().second = std::max(merged.last().second, start + length - merged.last().first);
        else
            merged.append({start, length});
    }
    return merged;
}

std::vector<FoundItem> findItems(const Dict& root, const ItemSearch& search) {
    std::vector<FoundItem> found;
    forEachItemWithPlace(root, [&](const NodePtr& item, const QList<int>& place) {
        if (search.matches(*item))
            found.push_back({place, item});
    });
    return found;
}

QString itemPathText(const QList<int>& path) {
    QStringList parts;
    for (const int index : path)
        parts << QString::number(index);
    return parts.join(u'/');
}

} // namespace tardigo
