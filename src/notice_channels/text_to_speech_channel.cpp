#include "notice_channels/text_to_speech_channel.h"

#include "notice_channels/channels_log.h"

#include <QTextToSpeech>

#include <utility>

namespace tardigo {

namespace {
QString preferredEngine() {
    const QStringList engines = QTextToSpeech::availableEngines();
    for (const QString& name : {QStringLiteral("speechd"), QStringLiteral("flite")})
        if (engines.contains(name))
            return name;
    return engines.value(0);
}
} // namespace

TextToSpeechChannel::TextToSpeechChannel(QObject* parent) : QObject(parent) {}

TextToSpeechChannel::~TextToSpeechChannel() = default;

void TextToSpeechChannel::speak(const QString& text) {
    // Nothing to say would never end speaking, and would hold up the texts behind it.
    if (text.trimmed().isEmpty() || !engine())
        return;
    _pending.push_back(text);
    if (!_speaking)
        speakNext();
}

bool TextToSpeechChannel::isSpeaking() const {
    return _speaking || !_pending.empty();
}

QTextToSpeech* TextToSpeechChannel::engine() {
    if (_engine || _engineFailed)
        return _engine.get();
    const QString name = preferredEngine();
    if (name.isEmpty()) {
        _engineFailed = true;
        qCWarning(lcChannels) << "cannot speak: no speech engine is installed (speechd or flite)";
        return nullptr;
    }
    auto engine = std::make_unique<QTextToSpeech>(name);
    if (engine->state() == QTextToSpeech::Error) {
        _engineFailed = true;
        qCWarning(lcChannels).noquote()
            << "cannot speak: the speech engine" << name << "does not work:" << engine->errorString();
        return nullptr;
    }
    connect(engine.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State state) {
        if (state == QTextToSpeech::Error)
            qCWarning(lcChannels).noquote()
                << "the speech engine failed while speaking:" << _engine->errorString();
        if (state == QTextToSpeech::Ready || state == QTextToSpeech::Error)
            speakNext();
    });
    _engine = std::move(engine);
    return _engine.get();
}

void TextToSpeechChannel::speakNext() {
    if (_pending.empty()) {
        const bool wasSpeaking = std::exchange(_speaking, false);
        if (wasSpeaking)
            emit finished();
        return;
    }
    _speaking = true;
    const QString text = _pending.front();
    _pending.pop_front();
    _engine->say(text);
}

} // namespace tardigo
