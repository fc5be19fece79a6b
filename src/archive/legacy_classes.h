#pragma once

#include "archive/to_do_item.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

namespace tardigo {

/// The root object of a 1.x list.
struct TardigoDocumentEnvelope {
    /// The items in order; null where the content holds an object of another class.
    std::vector<std::shared_ptr<const ToDoItem>> content;
};

/// The class of a 1.x list's root object.
constexpr QByteArrayView kTardigoDocumentEnvelopeClass = "TardigoDocumentEnvelope";
/// The class versions the last 1.x release wrote.
constexpr qint64 kDocumentEnvelopeVersion = 2;
constexpr qint64 kToDoItemVersion = 3;

/// What decoding a 1.x list gave.
struct LegacyDecodeResult {
    /// The root envelope with its items; null when the decoding failed.
    std::shared_ptr<const TardigoDocumentEnvelope> envelope;
    /// Why the decoding failed, in words, without the file name; empty on success.
    QString error;
    qint64 errorOffset = -1;
    bool ok() const { return envelope != nullptr; }
};

/// Decodes a 1.x list: a typed-stream archive whose root is a TardigoDocumentEnvelope holding
/// ToDoItem objects, each read in the field order of the version its archive records.
LegacyDecodeResult decodeLegacyArchive(const QByteArray& bytes);

} // namespace tardigo
