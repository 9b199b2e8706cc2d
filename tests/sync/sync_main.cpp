// The class-server tests: one Qt core application, settings in a scratch folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Sorelka"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, settings.path() + "/system");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
