#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include "core/cue_deck.h"
#include "core/services.h"

class QSoundEffect;

namespace sorelka {

// Message boxes over the active window.
class QtDialogs final : public Dialogs {
public:
    void ShowMessage(const std::string& text) override;
    void ShowInformation(const std::string& text) override;
    Answer AskYesNo(const std::string& text) override;
};

// The local date and time.
class SystemClock final : public Clock {
public:
    LocalTime Now() const override;
};

// True when the file can be read and is a whole RIFF/WAVE file: a format
// chunk, then a data chunk that the file really holds.
bool IsReadableWav(const QString& path);

// Plays WAV files through Qt Multimedia, one preloaded QSoundEffect per file.
// Without an audio device no effect is made: the cues stay silent and one line
// on standard error says so.
class QtSoundBackend final : public QObject, public SoundBackend {
public:
    explicit QtSoundBackend(QObject* parent = nullptr);
    ~QtSoundBackend() override;
    bool Load(const std::string& path) override;
    void Play(const std::string& path) override;
    void Stop(const std::string& path) override;

private:
    QHash<QString, QSoundEffect*> effects_;
    bool audio_output_ = false;
};

}  // namespace sorelka
