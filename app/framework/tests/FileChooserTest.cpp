#include "app/framework/FileChooser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace zeb::framework {
namespace {

TEST(FileChooserSplit, FollowsTheLastSeparatorOfEitherKind)
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
        {"default.ute", "default.ute", "default.ute", false},
        {"/home/user/ws/site.ute", "\\home\\user\\ws\\", "site.ute", true},
        {"C:\\ws\\site.ute", "C:\\ws\\", "site.ute", false},
        {"ws/sub\\site.ute", "ws\\sub\\", "site.ute", true},
        {"/home/user/ws/", "\\home\\user\\ws\\", "", true},
        {"/", "\\", "", true},
        {"\\site.ute", "\\", "site.ute", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const FileChooser::InitialPath split = FileChooser::split(c.path);
        EXPECT_EQ(split.folder, c.folder);
        EXPECT_EQ(split.name, c.name);
        EXPECT_EQ(split.hadForwardSlash, c.forward);
    }
}

TEST(FileChooserMode, LetterWMeansWrite)
{
    EXPECT_EQ(FileChooser::modeFromText("rb"), FileChooser::Mode::Read);
    EXPECT_EQ(FileChooser::modeFromText(""), FileChooser::Mode::Read);
    EXPECT_EQ(FileChooser::modeFromText("W"), FileChooser::Mode::Read);
    EXPECT_EQ(FileChooser::modeFromText("wb"), FileChooser::Mode::Write);
    EXPECT_EQ(FileChooser::modeFromText("r+w"), FileChooser::Mode::Write);
}

// Runs `act` on the first modal widget of type T once it is up (the dialog's exec() has
// started its event loop); gives up after a few seconds.
template <typename T>
void whenModal(std::function<void(T&)> act, int attemptsLeft = 300)
{
    QTimer::singleShot(10, [act = std::move(act), attemptsLeft] {
        if (auto* widget = qobject_cast<T*>(QApplication::activeModalWidget())) {
            act(*widget);
            return;
        }
        if (attemptsLeft > 0) {
            whenModal<T>(act, attemptsLeft - 1);
            return;
        }
        ADD_FAILURE() << "no modal dialog appeared";
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
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
        existing.write("$PKVR,RPC,UTTE,VERSION,2\r\n");
    }

    std::string inFolder(const char* name) const { return (m_folder + QLatin1Char('/') + name).toStdString(); }

    const std::vector<FileChooser::Filter> m_filters{
        {QStringLiteral("ZEB500 workspace"), QStringLiteral("*.ute")},
        {QStringLiteral("Text (*.txt;*.log)"), QStringLiteral("*.txt;*.log")},
        {QStringLiteral("All files (*)"), QStringLiteral("*")},
    };
    QTemporaryDir m_dir;
    QString m_folder;
};

TEST_F(FileChooserTest, ReadModeOpensInTheFolderAndReturnsTheChosenFile)
{
    std::string path = inFolder("previous.ute");
    QStringList filters;
    QString directory;
    QString proposed;
    bool existingOnly = false;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        directory = QDir(dialog.directory()).canonicalPath();
        proposed = dialog.selectedFiles().value(0);
        existingOnly = dialog.fileMode() == QFileDialog::ExistingFile && dialog.acceptMode() == QFileDialog::AcceptOpen;
        dialog.selectFile(m_folder + QStringLiteral("/site.ute"));
        static_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(
        FileChooser::choose(nullptr, QStringLiteral("Open workspace"), path, FileChooser::Mode::Read, m_filters));
    EXPECT_EQ(path, inFolder("site.ute"));
    EXPECT_EQ(filters,
              (QStringList{QStringLiteral("ZEB500 workspace (*.ute)"), QStringLiteral("Text (*.txt *.log)"),
                           QStringLiteral("All files (*)")}));
    EXPECT_EQ(directory, m_folder);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("previous.ute"))) << proposed.toStdString();
    EXPECT_TRUE(existingOnly);
}

TEST_F(FileChooserTest, ReadModeRefusesAMissingFile)
{
    std::string path = inFolder("site.ute");
    bool warned = false;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        whenModal<QMessageBox>([&](QMessageBox& box) {
            warned = true;
            box.accept();
        });
        dialog.selectFile(m_folder + QStringLiteral("/missing.ute"));
        static_cast<QDialog&>(dialog).accept(); // refused with a warning: the dialog stays open
        EXPECT_TRUE(dialog.isVisible());
        dialog.reject();
    });
    EXPECT_FALSE(FileChooser::choose(nullptr, QStringLiteral("Open"), path, FileChooser::Mode::Read, m_filters));
    EXPECT_TRUE(warned);
    EXPECT_EQ(path, inFolder("site.ute"));
}

TEST_F(FileChooserTest, WriteModeTakesANewName)
{
    std::string path = inFolder("site.ute");
    bool saving = false;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        saving = dialog.acceptMode() == QFileDialog::AcceptSave && dialog.fileMode() == QFileDialog::AnyFile;
        dialog.selectFile(m_folder + QStringLiteral("/new.ute"));
        static_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(FileChooser::choose(nullptr, QStringLiteral("Save"), path, FileChooser::Mode::Write, m_filters));
    EXPECT_EQ(path, inFolder("new.ute"));
    EXPECT_TRUE(saving);
}

TEST_F(FileChooserTest, WriteModeAsksBeforeReplacingAFile)
{
    std::string path = inFolder("other.ute");
    bool asked = false;
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        whenModal<QMessageBox>([&](QMessageBox& box) {
            asked = true;
            box.button(QMessageBox::Yes)->click();
        });
        dialog.selectFile(m_folder + QStringLiteral("/site.ute"));
        static_cast<QDialog&>(dialog).accept();
    });
    ASSERT_TRUE(FileChooser::choose(nullptr, QStringLiteral("Save"), path, FileChooser::Mode::Write, m_filters));
    EXPECT_TRUE(asked);
    EXPECT_EQ(path, inFolder("site.ute"));
}

TEST_F(FileChooserTest, CancelLeavesThePathUnchanged)
{
    for (FileChooser::Mode mode : {FileChooser::Mode::Read, FileChooser::Mode::Write}) {
        std::string path = inFolder("site.ute");
        whenModal<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
        EXPECT_FALSE(FileChooser::choose(nullptr, QStringLiteral("Cancel"), path, mode, m_filters));
        EXPECT_EQ(path, inFolder("site.ute"));
    }
}

TEST_F(FileChooserTest, PathLongerThanTheLimitIsRefused)
{
    std::string path = inFolder("site.ute");
    const QString longName = QString(250, QLatin1Char('n')) + QStringLiteral(".ute");
    whenModal<QFileDialog>([&](QFileDialog& dialog) {
        dialog.selectFile(m_folder + QLatin1Char('/') + longName);
        static_cast<QDialog&>(dialog).accept();
    });
    EXPECT_FALSE(FileChooser::choose(nullptr, QStringLiteral("Save"), path, FileChooser::Mode::Write, m_filters));
    EXPECT_EQ(path, inFolder("site.ute"));
}

} // namespace
} // namespace zeb::framework
