#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

namespace tardigo {

struct JsonMember;

/// A parsed JSON value that keeps what Qt's JSON classes lose: object members in their order and
/// the exact text of numbers.
struct JsonNode {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    QByteArray number; ///< the number's text
    QString string;
    std::vector<JsonNode> items;
    std::vector<JsonMember> members;

    const JsonNode* member(QStringView name) const;
};

struct JsonMember {
    QString name;
    JsonNode value;
};

/// Parses one JSON text (RFC 8259). On failure `error` says what is wrong and at which byte.
std::optional<JsonNode> parseJson(QByteArrayView text, QString* error);

} // namespace tardigo
