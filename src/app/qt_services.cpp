#include "app/qt_services.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QMediaDevices>
#include <QMessageBox>
#include <QSoundEffect>
#include <QUrl>
#include <cstdio>

namespace sorelka {

namespace {

QString Title() { return QStringLiteral("Sorelka"); }

// Every message is plain text: a name or a file's text in it is shown as
// written, never read as markup (QMessageBox would guess).
void ShowPlain(QMessageBox::Icon icon, const std::string& text) {
    QMessageBox box(icon, Title(), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void QtDialogs::ShowMessage(const std::string& text) { ShowPlain(QMessageBox::NoIcon, text); }

void QtDialogs::ShowInformation(const std::string& text) { ShowPlain(QMessageBox::Information, text); }

namespace {

// A Yes/No question that tells the two buttons apart from every other way of
// closing it. A plain QMessageBox treats Esc and the title bar's close button
// as its escape button, No; here they close the box without an answer.
class YesNoBox final : public QMessageBox {
public:
    YesNoBox(const QString& text, QWidget* parent)
        : QMessageBox(QMessageBox::Question, Title(), text, QMessageBox::Yes | QMessageBox::No,
                      parent) {
        setTextFormat(Qt::PlainText);
        setDefaultButton(QMessageBox::No);
        connect(this, &QMessageBox::buttonClicked, this,
                [this](QAbstractButton* button) { pressed_ = button; });
    }

    Answer Ask() {
        exec();
        if (pressed_ && pressed_ == button(QMessageBox::Yes)) return Answer::Yes;
        if (pressed_ && pressed_ == button(QMessageBox::No)) return Answer::No;
        return Answer::Closed;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Esc would click No; it closes the box instead.
        if (event->matches(QKeySequence::Cancel)) {
            close();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

private:
    QAbstractButton* pressed_ = nullptr;
};

}  // namespace

Answer QtDialogs::AskYesNo(const std::string& text) {
    YesNoBox box(QString::fromStdString(text), QApplication::activeWindow());
    return box.Ask();
}

LocalTime SystemClock::Now() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(),   d.month(),  d.day(),         t.hour(),
            t.minute(), t.second(), t.msec(), now.offsetFromUtc() / 60};
}

bool IsReadableWav(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.read(4 * 1024 * 1024);
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE") return false;
    auto u32 = [&](qsizetype at) {
        const auto* b = reinterpret_cast<const unsigned char*>(data.constData() + at);
        return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
    };
    // Walk the chunks: a usable file has a format chunk and a data chunk that
    // lies wholly inside the file (a truncated file does not).
    bool format = false;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const quint32 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > quint32(data.size() - body)) return false;
        if (id == "fmt ") format = size >= 16;
        if (id == "data") return format && size > 0;
        at = body + size + (size & 1);
    }
    return false;
}

namespace {

// Swallows Qt's own messages while the audio devices are looked up: without a
// device Qt Multimedia prints one line per sound effect and one for the sound
// server; the program says it once itself.
void QuietMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

bool FindAudioOutput() {
    const QtMessageHandler previous = qInstallMessageHandler(QuietMessage);
    const bool found = !QMediaDevices::audioOutputs().isEmpty();
    qInstallMessageHandler(previous);
    if (!found) std::fputs("Sorelka: no audio device found; the sound cues stay silent.\n", stderr);
    return found;
}

}  // namespace

QtSoundBackend::QtSoundBackend(QObject* parent) : QObject(parent) {
    static const bool audio_output = FindAudioOutput();  // looked up and told once per run
    audio_output_ = audio_output;
}

QtSoundBackend::~QtSoundBackend() {
    // Qt loads sound files in the background and loses track of a load whose
    // effect is deleted half-way; let loads still running finish first (they
    // take milliseconds; never wait more than two seconds).
    auto loading = [this] {
        for (QSoundEffect* effect : std::as_const(effects_))
            if (effect->status() == QSoundEffect::Loading) return true;
        return false;
    };
    QElapsedTimer waited;
    waited.start();
    while (loading() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

bool QtSoundBackend::Load(const std::string& path) {
    const QString file = QString::fromStdString(path);
    if (!IsReadableWav(file)) return false;
    if (!audio_output_) return true;  // a good file; silence without a device
    auto* effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(file));
    effects_.insert(file, effect);
    return true;
}

void QtSoundBackend::Play(const std::string& path) {
    if (QSoundEffect* effect = effects_.value(QString::fromStdString(path))) effect->play();
}

void QtSoundBackend::Stop(const std::string& path) {
    if (QSoundEffect* effect = effects_.value(QString::fromStdString(path))) effect->stop();
}

}  // namespace sorelka
