#include "core/cue_deck.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace sorelka {
namespace {

using testing::FakeDialogs;
using testing::FakeSoundBackend;
using Log = std::vector<std::string>;

TEST(CueTable, NamesEveryCueFileUnderOto) {
    const char* expected[] = {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav", "6.wav", "7.wav",
                              "8.wav", "9.wav", "10.wav", "pipo.wav", "poon.wav", "bubuu.wav",
                              "pinpon.wav", "sharan.wav", "charararan.wav", "bun.wav", "pipon.wav",
                              "chararan.wav", "20.wav"};
    for (unsigned n = 1; n <= 20; ++n) {
        EXPECT_EQ(CueFileName(n), std::string("oto/") + expected[n - 1]) << "cue " << n;
    }
    EXPECT_EQ(CueFileName(0), "");
    EXPECT_EQ(CueFileName(21), "");
}

struct CueDeckTest : ::testing::Test {
    FakeSoundBackend backend;
    FakeDialogs dialogs;
};

TEST_F(CueDeckTest, LoadsEveryFileOnceUpFrontFromTheExecutableFolder) {
    CueDeck deck("/opt/sorelka/", backend, dialogs);
    ASSERT_EQ(backend.loaded.size(), 20u);
    EXPECT_EQ(backend.loaded.front(), "/opt/sorelka/oto/1.wav");
    EXPECT_EQ(backend.loaded[15], "/opt/sorelka/oto/charararan.wav");
    deck.SetSoundEnabled(true);
    deck.PlayCue(Cue::Choice);
    deck.PlayCue(Cue::Begin);
    EXPECT_EQ(backend.loaded.size(), 20u) << "a cue must not touch files";
}

TEST_F(CueDeckTest, SilentUntilSoundIsEnabledThenEachCueCutsOffThePrevious) {
    CueDeck deck("/x/", backend, dialogs);
    deck.PlayCue(Cue::Choice);  // before the start-up tick
    EXPECT_TRUE(backend.log.empty());
    deck.SetSoundEnabled(true);
    deck.PlayCue(Cue::Welcome);
    deck.PlayCue(Cue::Right);
    deck.PlayCue(Cue::Right);
    EXPECT_EQ(backend.log, (Log{"play charararan.wav", "stop charararan.wav", "play pinpon.wav",
                                "stop pinpon.wav", "play pinpon.wav"}));
}

TEST_F(CueDeckTest, NumberOutsideTheTableReplaysThePreviousFile) {
    CueDeck deck("/x/", backend, dialogs);
    deck.SetSoundEnabled(true);
    deck.PlayCue(Cue{0});  // nothing to repeat yet
    EXPECT_TRUE(backend.log.empty());
    deck.PlayCue(Cue::Wrong);
    deck.PlayCue(Cue{21});
    deck.PlayCue(Cue{0});
    EXPECT_EQ(backend.log, (Log{"play bubuu.wav", "stop bubuu.wav", "play bubuu.wav",
                                "stop bubuu.wav", "play bubuu.wav"}));
    EXPECT_EQ(deck.current_file(), "/x/oto/bubuu.wav");
}

TEST_F(CueDeckTest, MissingFileIsReportedOncePerFileAndTheCallerCarriesOn) {
    backend.missing = {"bubuu.wav", "pinpon.wav"};
    CueDeck deck("/x/", backend, dialogs);
    EXPECT_TRUE(dialogs.shown.empty()) << "nothing is reported before a cue is asked for";
    deck.SetSoundEnabled(true);
    deck.PlayCue(Cue::Choice);
    deck.PlayCue(Cue::Wrong);  // missing: reported
    deck.PlayCue(Cue::Wrong);  // missing again: not reported twice
    deck.PlayCue(Cue::Right);  // another missing file: reported
    deck.PlayCue(Cue::Begin);  // a good file still plays
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_NE(dialogs.shown[0].text.find("oto/bubuu.wav"), std::string::npos);
    EXPECT_NE(dialogs.shown[1].text.find("oto/pinpon.wav"), std::string::npos);
    EXPECT_EQ(backend.log, (Log{"play pipo.wav", "stop pipo.wav", "play poon.wav"}));
}

TEST_F(CueDeckTest, MissingFileIsReportedEvenBeforeSoundIsEnabled) {
    backend.missing = {"pipo.wav"};
    CueDeck deck("/x/", backend, dialogs);
    deck.PlayCue(Cue::Choice);
    deck.PlayCue(Cue::Choice);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(backend.log.empty());
}

}  // namespace
}  // namespace sorelka
