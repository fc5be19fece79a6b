#pragma once

#include "minder/notice_channels.h"

#include <QObject>
#include <QStringList>

#include <deque>
#include <memory>

class QTextToSpeech;

namespace tardigo {

/// Speech through QTextToSpeech, with the speechd engine where there is one, else flite. Texts are
/// spoken one after the other: a new text does not cut off the one being spoken.
class TextToSpeechChannel : public QObject, public SpeechChannel {
    Q_OBJECT
public:
    explicit TextToSpeechChannel(QObject* parent = nullptr);
    ~TextToSpeechChannel() override;

    void speak(const QString& text) override;
    /// Whether texts are still being spoken or waiting to be.
    bool isSpeaking() const;

signals:
    /// Every text handed over has been spoken (or could not be).
    void finished();

private:
    /// Creates the engine on first use; null, logged once, when none works.
    QTextToSpeech* engine();
    void speakNext();

    std::unique_ptr<QTextToSpeech> _engine;
    bool _engineFailed = false;
    std::deque<QString> _pending;
    bool _speaking = false;
};

} // namespace tardigo
