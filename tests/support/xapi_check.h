#pragma once

// A file of xAPI statements checked by the maintained validator the school's
// portal would use (Learning Locker's, under Debian's node; scripts/setup.sh
// installs it). Skipped where it is not installed, except in CI.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace sorelka::testing {

inline void ExpectValidXapi(const QString& path) {
    const QString node = QStandardPaths::findExecutable("node");
    if (node.isEmpty() || !QFile::exists(SORELKA_SOURCE_DIR "/tests/xapi/node_modules/@learninglocker/xapi-validation")) {
        if (qEnvironmentVariableIsEmpty("CI")) GTEST_SKIP() << "node or the xAPI validator is not installed (scripts/setup.sh)";
        FAIL() << "node or the xAPI validator is not installed (scripts/setup.sh)";
    }
    QProcess check;
    check.start(node, {SORELKA_SOURCE_DIR "/tests/xapi/validate.js", path});
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}

}  // namespace sorelka::testing
