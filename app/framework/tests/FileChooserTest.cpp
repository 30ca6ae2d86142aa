#include "app/framework/FileChooser.h"

#include "testsupport/DialogAnswers.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zeb::framework {
namespace {

using Mode = FileChooser::Mode;

TEST(FileChooserSplit, FollowsTheLastSeparatorOfEitherKindAndTheModeLetter)
{
    struct Case
    {
        const char* path;
        const char* folder;
        const char* name;
        bool forward;
    };
    const Case cases[] = {
        {"", "", "", false},
        {"ws/sub\\site.ute", "ws\\sub\\", "site.ute", true},
        {"/home/user/ws/", "\\home\\user\\ws\\", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const FileChooser::InitialPath split = FileChooser::split(c.path);
        EXPECT_EQ(split.folder, c.folder);
        EXPECT_EQ(split.name, c.name);
        EXPECT_EQ(split.hadForwardSlash, c.forward);
    }
    EXPECT_EQ(FileChooser::modeFromText("W"), Mode::Read);
    EXPECT_EQ(FileChooser::modeFromText("r+w"), Mode::Write);
}

class FileChooserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = QDir(m_dir.path()).canonicalPath();
        QFile existing(m_folder + QStringLiteral("/site.ute"));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    }

    std::string inFolder(const QString& name) const { return (m_folder + QLatin1Char('/') + name).toStdString(); }

    const std::vector<FileChooser::Filter> m_filters{
        {QStringLiteral("ZEB500 workspace"), QStringLiteral("*.ute")},
        {QStringLiteral("Text (*.txt;*.log)"), QStringLiteral("*.txt;*.log")},
    };
    QTemporaryDir m_dir;
    QString m_folder;
};

// What the chooser makes of each answer: only an accepted, existing (to read) path that fits
// the limit replaces the caller's path.
TEST_F(FileChooserTest, TakesOnlyAnAcceptedPathThatFits)
{
    const QString tooLong = QString(250, QLatin1Char('n')) + QStringLiteral(".ute");
    struct Case
    {
        Mode mode;
        QString chosen;
        int result;
        bool taken;
    };
    const Case cases[] = {
        {Mode::Read, QStringLiteral("site.ute"), QDialog::Accepted, true},
        {Mode::Read, QStringLiteral("missing.ute"), QDialog::Accepted, false},
        {Mode::Write, QStringLiteral("new.ute"), QDialog::Accepted, true},
        {Mode::Write, tooLong, QDialog::Accepted, false},
        {Mode::Read, QStringLiteral("site.ute"), QDialog::Rejected, false},
        {Mode::Write, QStringLiteral("new.ute"), 3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen.left(20).toStdString() + " result " + std::to_string(c.result));
        testsupport::DialogAnswers answers;
        answers.next<QFileDialog>([&](QFileDialog& dialog) {
            EXPECT_EQ(dialog.nameFilters(),
                      (QStringList{QStringLiteral("ZEB500 workspace (*.ute)"), QStringLiteral("Text (*.txt *.log)")}));
            EXPECT_EQ(dialog.acceptMode(), c.mode == Mode::Read ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
            dialog.selectFile(m_folder + QLatin1Char('/') + c.chosen);
            return c.result;
        });
        const std::string before = inFolder(QStringLiteral("previous.ute"));
        std::string path = before;
        EXPECT_EQ(FileChooser::choose(nullptr, QStringLiteral("Choose"), path, c.mode, m_filters), c.taken);
        EXPECT_EQ(path, c.taken ? inFolder(c.chosen) : before);
    }
}

} // namespace
} // namespace zeb::framework
