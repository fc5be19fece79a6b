#pragma once

#include "rich_text/rich_text.h"

#include <QByteArray>
#include <QString>

namespace tardigo {

struct RtfReadResult {
    RichText text;
    QString error; // empty when the text was read
    bool ok() const { return error.isEmpty(); }
};

/// Reads RTF into plain text and styled runs, in one pass and linear time. Damage after the header
/// (unbalanced braces, unknown words, bad escapes) gives the text that could be read; only data
/// that is not RTF at all, or nests groups absurdly deep, is an error.
RtfReadResult readRtf(const QByteArray& rtf);

} // namespace tardigo
