// The cue files that the build synthesises next to the executable.
#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryFile>

#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"
#include "support/fakes.h"

#include <QDir>
#include <QTemporaryDir>

namespace sorelka {
namespace {

TEST(SoundFiles, EveryCueIsAShortDistinctWavBesideTheExecutable) {
    QSet<QByteArray> contents;
    for (unsigned n = 1; n <= 20; ++n) {
        const QString path = QString::fromStdString(ExecutableFolder() + CueFileName(n));
        ASSERT_TRUE(IsReadableWav(path)) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        // 22050 Hz, 16-bit mono: bytes / 44100 is the length in seconds.
        const double seconds = (data.size() - 44) / 44100.0;
        EXPECT_GT(seconds, 0.05) << path.toStdString();
        EXPECT_LT(seconds, 1.5) << path.toStdString();
        contents.insert(data.mid(44));
    }
    EXPECT_EQ(contents.size(), 20) << "every cue sounds different";
}

TEST(SoundFiles, AFileThatIsNotAWavCannotBeLoaded) {
    QtSoundBackend backend;
    EXPECT_FALSE(backend.Load("/nonexistent/oto/pipo.wav"));
    QTemporaryFile garbage;
    ASSERT_TRUE(garbage.open());
    garbage.write("this is not a sound at all");
    garbage.close();
    EXPECT_FALSE(backend.Load(garbage.fileName().toStdString()));
    EXPECT_TRUE(backend.Load(ExecutableFolder() + CueFileName(11)));
}

TEST(SoundFiles, ATruncatedWavCannotBeLoaded) {
    QFile whole(QString::fromStdString(ExecutableFolder() + CueFileName(16)));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray data = whole.readAll();
    QTemporaryFile cut;
    ASSERT_TRUE(cut.open());
    cut.write(data.left(data.size() / 2));
    cut.close();
    EXPECT_FALSE(IsReadableWav(cut.fileName()));
}

// The real sound backend in a program folder without oto/ and with one cue cut
// short: each bad file is reported once, when its cue is asked for, and the
// good ones still play.
TEST(SoundFiles, MissingOrTruncatedCuesAreReportedOnceEach) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    testing::FakeDialogs dialogs;
    {
        QtSoundBackend backend;
        CueDeck deck((folder.path() + "/").toStdString(), backend, dialogs);
        deck.SetSoundEnabled(true);
        deck.PlayCue(Cue::Choice);
        deck.PlayCue(Cue::Choice);
        deck.PlayCue(Cue::Begin);
        EXPECT_EQ(dialogs.shown.size(), 2u);
    }
    QDir(folder.path()).mkdir("oto");
    for (unsigned n = 1; n <= 20; ++n) {
        const QString from = QString::fromStdString(ExecutableFolder() + CueFileName(n));
        const QString to = folder.path() + "/" + QString::fromStdString(CueFileName(n));
        ASSERT_TRUE(QFile::copy(from, to));
    }
    QFile poon(folder.path() + "/oto/poon.wav");
    ASSERT_TRUE(poon.open(QIODevice::ReadWrite));
    poon.resize(200);
    poon.close();
    dialogs.shown.clear();
    QtSoundBackend backend;
    CueDeck deck((folder.path() + "/").toStdString(), backend, dialogs);
    deck.SetSoundEnabled(true);
    deck.PlayCue(Cue::Choice);
    deck.PlayCue(Cue::Begin);
    deck.PlayCue(Cue::Begin);
    deck.PlayCue(Cue::Right);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find("poon.wav"), std::string::npos);
}

}  // namespace
}  // namespace sorelka
