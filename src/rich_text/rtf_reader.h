#pragma once

#include "rich_text/rich_text.h"

#include <QByteArray>
#include <QString>

namespace tardigo {

struct RtfReadResult {
    RichText text;
    QString error;         // empty when the text was read
    bool cutShort = false; // the reading stopped at the character limit; more text may follow
    bool ok() const { return error.isEmpty(); }
};

/// Reads RTF into plain text and styled runs, in one pass and linear time. Damage after the header
/// (unbalanced braces, unknown words, bad escapes) gives the text that could be read; only data
/// that is not RTF at all, or nests groups absurdly deep, is an error. With a `characterLimit` of 0
/// or more, reading stops once the text holds that many characters, so that the start of a long
/// text costs no more than the start.
RtfReadResult readRtf(const QByteArray& rtf, qsizetype characterLimit = -1);

} // namespace tardigo
