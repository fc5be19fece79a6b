#include "model/value_expansion.h"

#include <QSet>

#include <vector>

namespace tardigo {

namespace {

constexpr qsizetype kSmallBytes = 64;

class ExpansionWalk {
public:
    ValueExpansion walk(const Value& root) {
        _pending.push_back({&root, true});
        while (!_pending.empty()) {
            const auto [value, firstTime] = _pending.back();
            _pending.pop_back();
            visit(*value, firstTime);
        }
        return _result;
    }

private:
    /// A text or bytes: counted each time it is written out, and once among what the value holds.
    /// Small pieces (keys, categories, short messages) every format repeats as it goes; only large
    /// ones met again, which share a buffer, make an output balloon.
    void count(const void* buffer, qsizetype bytes, bool shared, bool firstTime) {
        _result.expandedBytes += quint64(bytes);
        if (!firstTime)
            return;
        if (bytes <= kSmallBytes || !shared) {
            _result.distinctBytes += quint64(bytes);
        } else if (!_seenBuffers.contains(buffer)) {
            _seenBuffers.insert(buffer);
            _result.distinctBytes += quint64(bytes);
        }
    }
    void count(const QString& text, bool firstTime) {
        count(text.constData(), text.size() * qsizetype(sizeof(QChar)), !text.isDetached(), firstTime);
    }

    /// A container met again is written out again, but holds nothing new. One that only its place
    /// in the tree holds (and the caller's copy) cannot be met again.
    bool firstVisit(const void* container, long owners, bool firstTime) {
        if (!firstTime || owners <= 2)
            return firstTime;
        if (_seenContainers.contains(container))
            return false;
        _seenContainers.insert(container);
        return true;
    }

    void visit(const Value& value, bool firstTime) {
        if (const QString* text = value.asString()) {
            count(*text, firstTime);
        } else if (const QByteArray* bytes = value.asData()) {
            count(bytes->constData(), bytes->size(), !bytes->isDetached(), firstTime);
        } else if (const HistoryEntry* entry = value.asHistoryEntry()) {
            count(entry->message(), firstTime);
            count(nullptr, HistoryEntry::kTimestampLength * qsizetype(sizeof(QChar)), false, firstTime);
        } else if (const ArrayPtr array = value.asArray()) {
            const bool first = firstVisit(array.get(), array.use_count(), firstTime);
            for (auto item = array->items.rbegin(); item != array->items.rend(); ++item)
                _pending.push_back({&*item, first});
        } else if (const DictPtr dict = value.asDict()) {
            const bool first = firstVisit(dict.get(), dict.use_count(), firstTime);
            for (auto member = dict->entries.rbegin(); member != dict->entries.rend(); ++member) {
                count(member->first, first);
                _pending.push_back({&member->second, first});
            }
        }
    }

    struct Pending {
        const Value* value;
        bool firstTime;
    };
    std::vector<Pending> _pending;
    QSet<const void*> _seenBuffers;
    QSet<const void*> _seenContainers;
    ValueExpansion _result;
};

} // namespace

ValueExpansion ValueExpansion::of(const Value& root) {
    return ExpansionWalk().walk(root);
}

QString ValueExpansion::refusal() const {
    if (isWithinLimit())
        return {};
    const auto megabytes = [](quint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); };
    return QStringLiteral("its items share notes or texts that would be written out again wherever they "
                          "occur: %1 MB in all, for %2 MB of content")
        .arg(megabytes(expandedBytes), megabytes(distinctBytes));
}

} // namespace tardigo
