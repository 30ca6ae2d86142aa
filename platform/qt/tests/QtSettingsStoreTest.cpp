#include "platform/qt/QtSettingsStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zeb::platform {
namespace {

TEST(QtSettingsStore, ValuesPersistInAnIniFileUnderTheGivenFolder)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QString file;
    {
        QtSettingsStore settings(folder.path());
        EXPECT_EQ(settings.readInt("Settings", "w", 600), 600);
        settings.writeInt("Settings", "w", 812);
        settings.writeText("SerialPorts", "COM3", "/dev/pts/7");
        file = settings.fileName();
    }
    EXPECT_TRUE(file.startsWith(folder.path()));
    EXPECT_TRUE(file.endsWith("Orvane/ZEB500.ini"));
    ASSERT_TRUE(QFile::exists(file));

    QtSettingsStore reopened(folder.path());
    EXPECT_EQ(reopened.readInt("Settings", "w", 0), 812);
    EXPECT_EQ(reopened.readText("SerialPorts", "COM3", ""), "/dev/pts/7");
    EXPECT_EQ(reopened.readInt("SerialPorts", "COM3", -1), -1);
    EXPECT_EQ(reopened.readText("SerialPorts", "COM4", "/dev/ttyS3"), "/dev/ttyS3");

    // The command-line tool's copy reads the same values and never writes to the file.
    const auto copy = QtSettingsStore::readOnlyCopy(file);
    EXPECT_EQ(copy->readText("SerialPorts", "COM3", ""), "/dev/pts/7");
    copy->writeText("SerialPorts", "COM3", "/dev/null");
    copy->flush();
    EXPECT_EQ(QtSettingsStore(folder.path()).readText("SerialPorts", "COM3", ""), "/dev/pts/7");
    EXPECT_EQ(QtSettingsStore::readOnlyCopy(folder.path() + "/missing.ini")->readInt("Settings", "w", 5), 5);
}

} // namespace
} // namespace zeb::platform
