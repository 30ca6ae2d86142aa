#include "app/framework/DocumentManager.h"
#include "app/framework/UserMessages.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Messaging.h"
#include "recorder/document/CIHDMDocument.h"
#include "recorder/document/CIHDMView.h"
#include "recorder/engine/Recorder.h"
#include "recorder/files/RecordFileReader.h"
#include "recorder/settings/RecordForm.h"
#include "recorder/settings/UdmFile.h"
#include "recorder/widgets/CIHDMPropertySheet.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"
#include "testsupport/ScratchHome.h"
#include "tools/sim/FrameSource.h"

#include <QAction>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace zeb::recorder {
namespace {

namespace fs = std::filesystem;
using testsupport::qtWaitFor;
using tools::sim::FrameSource;

// Frames the simulator may have sent before the recording began: far more than a few seconds of play.
constexpr std::size_t kFramesBeforeRecording = 200000;

// One record file read back: its text lines and its message records.
struct RecordFile
{
    std::vector<std::string> lines;
    std::vector<std::string> messages;

    std::string lineWith(std::string_view head) const
    {
        for (const std::string& line : lines) {
            if (line.starts_with(head))
                return line;
        }
        return {};
    }
};

RecordFile readRecords(const fs::path& path)
{
    RecordFile file;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> handle(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!handle)
        return file;
    RecordFileReader reader(handle.get());
    RecordFileReader::Record record;
    while (reader.next(record) == RecordFileReader::Status::Record) {
        std::string data(reinterpret_cast<const char*>(record.data.data()), record.data.size());
        // Every message goes to the first track, of the document port's filter.
        if (record.header.type == RecordHeader::kMessage && record.header.tag == 'A')
            file.messages.push_back(std::move(data));
        else
            file.lines.push_back(std::move(data));
    }
    EXPECT_TRUE(reader.error().empty()) << path << ": " << reader.error();
    return file;
}

// The recorder's window in an MDI area, on the application connection (stream 65) when a test opens one.
class RecorderWindowTest : public testsupport::DocumentWindowTest
{
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        stream::socket::registerSocketTransports();
        codecs::registerMessageCodecs();
        registerRecorderDocumentType();
        addTemplate(CIHDMDocument::kKey, QStringLiteral("Recorder"));
    }

    void TearDown() override
    {
        closeDocuments();
        connection.reset();
        DocumentWindowTest::TearDown();
    }

    CIHDMDocument& openRecorder(const std::vector<std::string>& workspaceLines = {})
    {
        return openDocument<CIHDMDocument>(CIHDMDocument::kKey, workspaceLines);
    }

    static std::vector<std::string> workspaceLines(CIHDMDocument& document, const fs::path& path)
    {
        {
            stream::IOSTStream file(stream::IOSTStream::kAnonymous);
            EXPECT_EQ(file.open(path.string(), "wb"), stream::StreamStatus::Ok);
            document.writeLines(file);
        }
        std::ifstream in(path, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line + "\n");
        return lines;
    }

    testsupport::ScratchHome scratch;
    const fs::path& home = scratch.folder();
    std::unique_ptr<stream::IOSTStream> connection;
};

// The workspace keeps the settings, the document port's filters too; restoring them replaces the lists of the
// default settings file rather than adding to them, and the document port comes back first.
TEST_F(RecorderWindowTest, WorkspaceRestoresTheRecorderWithItsSettings)
{
    CIHDMDocument& saved = openRecorder();
    RecorderSettings edited = saved.settings();
    edited.startText = "every minute at 30";
    edited.ports.push_back({.name = "B", .address = "/dev/client/localhost/1234", .identifier = 3});
    edited.filters.push_back({.port = 1, .selection = selection::Sentences, .form = output_form::Text, .track = 1});
    edited.filters.front().selection = selection::Binary; // the document port's own filter
    edited.filters.front().form = output_form::Text;
    ASSERT_EQ(saved.applySettings(edited), "");
    const std::vector<std::string> lines = workspaceLines(saved, home / "recorder.ute");

    // Another recorder saves other settings as the defaults in between.
    RecorderSettings other = RecorderSettings::defaults(home.string());
    other.ports.push_back({.name = "C", .address = "/dev/client/localhost/99", .identifier = 4});
    ASSERT_EQ(UdmFile::save(UdmFile::defaultPath(home.string()), other), "");

    CIHDMDocument& restored = openRecorder(lines);
    EXPECT_EQ(restored.settings(), saved.settings());
}

// The recorder window on the application connection to the simulated receiver: a filter taking the binary frames,
// files of 1 KB. Every recorded message is the next binary frame the simulator sent, the files chain with their
// PREVIOUS and NEXT lines, and Properties went through the sheet and saved the settings file.
TEST_F(RecorderWindowTest, RecordsTheSimulatorsBinaryFramesIntoChainedFiles)
{
    testsupport::PortPrintingProcess simulator({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "400", "--frames", "2",
                                                std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"});
    ASSERT_NE(simulator.port(), 0u) << "the simulated receiver did not start";
    connection = std::make_unique<stream::IOSTStream>(65);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(simulator.port()), "rb"),
              stream::StreamStatus::Ok);

    CIHDMDocument& document = openRecorder();
    CIHDMView* view = document.view();
    ASSERT_NE(view, nullptr);
    const fs::path folder = home / "records";
    testsupport::DialogAnswers answers;
    answers.next<CIHDMPropertySheet>([&](CIHDMPropertySheet& sheet) {
        // What the pages would write, as a user editing them would leave it.
        RecorderSettings settings = sheet.settings();
        settings.directory = folder.string();
        settings.format = 1;
        settings.granularity = 1;
        settings.granularityUnit = 0;
        settings.filters.front().selection = selection::Binary;
        sheet.prepare(settings);
        return QDialog::Accepted;
    });
    view->propertiesAction()->trigger();
    std::ifstream udm(UdmFile::defaultPath(home.string()), std::ios::binary);
    std::stringstream saved;
    saved << udm.rdbuf();
    EXPECT_EQ(saved.str(), document.settings().lines());

    view->startAction()->trigger();
    const Recorder& recorder = document.recorder();
    ASSERT_TRUE(qtWaitFor([&] { return recorder.fileIndex() >= 3; }, "a third record file"))
        << recorder.statusLine() << (messages.empty() ? "" : ", told: " + messages.front());
    // What a remote breaker posts to the window suspends, resumes and stops the recording.
    view->tick();
    EXPECT_STREQ(view->statusPicture(), CIHDMView::statusPictureFor(recorder.statusText()));
    EXPECT_TRUE(view->fileText().startsWith(QStringLiteral("data#"))) << view->fileText().toStdString();
    platform::post(view->handle(), CIHDMView::breakerSuspendMessage());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.state() == Recorder::State::Waiting; }, "suspended by the breaker"));
    // Waiting blinks: its text and picture every other second.
    std::set<std::string> shown;
    for (int second = 0; second < 2; ++second) {
        view->tick();
        shown.insert(view->statusText().toStdString() + "/" + view->statusPicture());
    }
    EXPECT_EQ(shown, (std::set<std::string>{"WAITING/IDI_IHDM_STATUS_WAITING", "/IDI_IHDM_STATUS_IDLE"}));
    platform::post(view->handle(), CIHDMView::breakerStartMessage());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.state() == Recorder::State::Recording; }, "resumed by the breaker"));
    const std::uint64_t matched = recorder.messagesMatched();
    ASSERT_TRUE(qtWaitFor([&] { return recorder.messagesMatched() > matched; }, "messages after resuming"));
    platform::post(view->handle(), CIHDMView::breakerStopMessage());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.state() == Recorder::State::Idle; }, "stopped by the breaker"));
    EXPECT_TRUE(messages.empty()) << messages.front();

    std::map<std::string, RecordFile> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = readRecords(entry.path());
    ASSERT_GE(files.size(), 3u);
    auto named = [&](const std::string& line) {
        for (const auto& [name, file] : files) {
            if (line.find(name) != std::string::npos)
                return name;
        }
        return std::string();
    };
    std::string first;
    for (const auto& [name, file] : files) {
        if (named(file.lineWith("$PKVR,RPC,UTMA,PREVIOUS")).empty())
            first = name;
    }
    ASSERT_FALSE(first.empty()) << "no file begins the chain";

    FrameSource expected;
    std::size_t chained = 0;
    std::size_t recorded = 0;
    for (std::string name = first; !name.empty() && chained < files.size(); ++chained) {
        const RecordFile& file = files[name];
        for (std::size_t i = 0; i < file.messages.size(); ++i, ++recorded) {
            // The recording began somewhere in the simulator's cycle: find its first message, then follow it.
            for (std::size_t skipped = 0; skipped < kFramesBeforeRecording; ++skipped) {
                expected.next();
                if (expected.kind() == messages::MessageKind::SBin
                    && (recorded > 0 || expected.message() == file.messages[i]))
                    break;
            }
            ASSERT_EQ(file.messages[i], expected.message()) << name << " message " << i;
        }
        const std::string next = named(file.lineWith("$PKVR,RPC,UTMA,NEXT"));
        if (!next.empty()) {
            EXPECT_EQ(named(files[next].lineWith("$PKVR,RPC,UTMA,PREVIOUS")), name);
        }
        name = next;
    }
    EXPECT_EQ(chained, files.size()) << "files outside the PREVIOUS/NEXT chain";
    // Each matched message is in exactly one file.
    EXPECT_EQ(recorded, recorder.messagesMatched());
}

TEST_F(RecorderWindowTest, RefusedScheduleIsToldAndTheRecorderStaysIdle)
{
    CIHDMDocument& document = openRecorder();
    RecorderSettings settings = document.settings();
    settings.startText = "every day at";
    ASSERT_EQ(document.applySettings(settings), "");
    document.view()->startAction()->trigger();
    EXPECT_EQ(document.recorder().state(), Recorder::State::Idle);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages.front().find("every"), std::string::npos) << messages.front();
}

} // namespace
} // namespace zeb::recorder
