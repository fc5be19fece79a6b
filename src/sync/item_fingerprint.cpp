#include "sync/item_fingerprint.h"

#include "ical/todo_mapping.h"

#include <QCryptographicHash>

namespace tardigo {

namespace {

void addNumber(QCryptographicHash& hash, double number) {
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(&number), sizeof number));
}

void addText(QCryptographicHash& hash, const QString& text) {
    addNumber(hash, double(text.size()));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
}

void addValue(QCryptographicHash& hash, const Value& value) {
    addNumber(hash, double(int(value.type())));
    if (const QString* text = value.asString())
        addText(hash, *text);
    else if (const Number* number = value.asNumber())
        addNumber(hash, number->toDouble());
    else if (const Date* date = value.asDate())
        addNumber(hash, date->seconds);
    else if (const QByteArray* data = value.asData()) {
        addNumber(hash, double(data->size()));
        hash.addData(*data);
    }
}

} // namespace

QByteArray itemFingerprint(const Dict& item, const QString& parentUid, std::optional<qint64> order) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& key : todoMappedKeys()) {
        if (const Value* value = item.find(key)) {
            addText(hash, key);
            addValue(hash, *value);
        }
    }
    addText(hash, parentUid);
    addNumber(hash, order ? double(*order) : -1.0);
    return hash.result();
}

} // namespace tardigo
