// The cue files that the build synthesises next to the executable.
#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryFile>

#include "app/program.h"
#include "app/qt_services.h"
#include "core/cue_deck.h"

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

}  // namespace
}  // namespace sorelka
