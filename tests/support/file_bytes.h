#pragma once

// A file's bytes, read and written whole, for tests that damage, compare or
// make files by hand.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace sorelka::testing {

// Empty when the file cannot be read.
inline QByteArray Contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file's bytes (making it when missing).
inline void Write(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    f.write(bytes);
}

}  // namespace sorelka::testing
