#pragma once

// A whole program on a scratch record with fake services, and its screens
// opened and worked through their lists as a pupil does.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "app/program.h"
#include "support/fakes.h"
#include "support/screen_support.h"
#include "widgets/exercise_screen.h"

namespace sorelka::testing {

struct ProgramScreens : ::testing::Test {
    QTemporaryDir folder;
    FakeServices fx;
    std::unique_ptr<Program> program;
    ExerciseScreen* screen = nullptr;

    void SetUp() override { program = std::make_unique<Program>(fx.ctx, folder.path() + "/kyozai.db"); }
    void TearDown() override {
        if (screen) screen->hide();
        program.reset();
    }
    // Shows the screen with that object name (the one shown before hides).
    void Open(const char* name) {
        if (screen) screen->hide();
        screen = nullptr;
        for (ExerciseScreen* s : program->screens())
            if (s->objectName() == name) screen = s;
        ASSERT_NE(screen, nullptr) << name;
        screen->ShowModeless();
        Settle();
    }
    void Pick(const char* list, int index) { ClickItem(screen, list, index); }
    // A number chosen digit by digit in the lists of its places, highest first.
    void Digits(int value, const std::vector<const char*>& lists_ones_first) {
        bool started = false;
        for (int place = static_cast<int>(lists_ones_first.size()) - 1; place >= 0; --place) {
            int digit = value;
            for (int i = 0; i < place; ++i) digit /= 10;
            digit %= 10;
            if (digit != 0 || started || place == 0) {
                Pick(lists_ones_first[place], digit);
                started = true;
            }
        }
    }
};

}  // namespace sorelka::testing
