#include "app/framework/DocumentManager.h"
#include "app/framework/UserMessages.h"
#include "autotest/core/RunController.h"
#include "messages/codecs/StandardCodecs.h"
#include "platform/Messaging.h"
#include "recorder/document/CIHDMDocument.h"
#include "recorder/document/CIHDMView.h"
#include "recorder/engine/Recorder.h"
#include "recorder/files/RecordFileReader.h"
#include "recorder/schedule/LocalTime.h"
#include "recorder/settings/RecordForm.h"
#include "recorder/settings/UdmFile.h"
#include "recorder/widgets/CIHDMPropertySheet.h"
#include "stream/IOSTStream.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/CaptureFiles.h"
#include "testsupport/DialogAnswers.h"
#include "testsupport/DocumentWindowTest.h"
#include "testsupport/PortPrintingProcess.h"
#include "testsupport/QtWaitFor.h"
#include "testsupport/ScratchHome.h"
#include "tools/sim/FrameSource.h"

#include <QAction>

#include <gtest/gtest.h>

#include <atomic>
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

// Frames a simulator may send during a test: far more than a few seconds of play.
constexpr std::size_t kFramesBeforeRecording = 200000;

// One record file read back: its text lines and its message records.
struct RecordFile
{
    std::vector<std::string> lines;
    std::vector<std::pair<char, std::string>> messages; // track letter, bytes

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
        if (record.header.type == RecordHeader::kMessage)
            file.messages.emplace_back(static_cast<char>(record.header.tag), std::move(data));
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
    const std::vector<std::string> lines = writtenLines(saved, home / "recorder.ute");

    // Another recorder saves other settings as the defaults in between.
    RecorderSettings other = RecorderSettings::defaults(home.string());
    other.ports.push_back({.name = "C", .address = "/dev/client/localhost/99", .identifier = 4});
    ASSERT_EQ(UdmFile::save(UdmFile::defaultPath(home.string()), other), "");

    CIHDMDocument& restored = openRecorder(lines);
    EXPECT_EQ(restored.settings(), saved.settings());
}

// Whether `recorded` came, in order and each once, out of what a simulator sends, of the messages `wanted` picks.
template <typename Wanted>
::testing::AssertionResult inSendingOrder(const std::vector<std::string>& recorded, Wanted wanted)
{
    FrameSource source;
    std::size_t looked = 0;
    for (std::size_t i = 0; i < recorded.size(); ++i) {
        do {
            if (++looked > kFramesBeforeRecording)
                return ::testing::AssertionFailure() << "message " << i << " of " << recorded.size()
                                                     << " is not among what was sent, after the one before it";
            source.next();
        } while (!wanted(source) || source.message() != recorded[i]);
    }
    return ::testing::AssertionSuccess();
}

bool isBinary(const FrameSource& source)
{
    return source.kind() == messages::MessageKind::SBin;
}

bool isMeasurement(const FrameSource& source)
{
    return isBinary(source) && source.message()[1] == 'R';
}

// The recorder window records two simulated receivers: the application connection (the document port: binary frames,
// to track A) and a port it opens itself (measurements as received to B, and converted to text to C), into files
// of 1 KB, from the second 10 of the minute for 20 seconds (the window's clock is the test's). Properties went
// through the sheet and saved the settings file; the breakers resume, suspend and stop. Every matched message is in
// exactly one file, in the order sent, on its track; the files chain with PREVIOUS and NEXT lines.
TEST_F(RecorderWindowTest, RecordsTwoSimulatorsOnAScheduleIntoChainedFiles)
{
    const std::vector<std::string> simulatorArguments = {ZEB500_SIM_EXECUTABLE,
                                                         "--port",
                                                         "0",
                                                         "--pace",
                                                         "400",
                                                         "--frames",
                                                         "2",
                                                         std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"};
    testsupport::PortPrintingProcess first(simulatorArguments);
    testsupport::PortPrintingProcess second(simulatorArguments);
    ASSERT_NE(first.port(), 0u) << "the first simulated receiver did not start";
    ASSERT_NE(second.port(), 0u) << "the second simulated receiver did not start";
    connection = std::make_unique<stream::IOSTStream>(65);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(first.port()), "rb"),
              stream::StreamStatus::Ok);

    CIHDMDocument& document = openRecorder();
    CIHDMView* view = document.view();
    ASSERT_NE(view, nullptr);
    std::int64_t now = LocalTime::parse("2026-12-07 10:00:05").value_or(0);
    view->setClock([&now] { return now; });
    const fs::path folder = home / "records";
    testsupport::DialogAnswers answers;
    answers.next<CIHDMPropertySheet>([&](CIHDMPropertySheet& sheet) {
        // What the pages would write, as a user editing them would leave it.
        RecorderSettings settings = sheet.settings();
        settings.directory = folder.string();
        settings.format = 1;
        settings.granularity = 1;
        settings.granularityUnit = 0;
        settings.startText = "every minute at 10";
        settings.durationText = "20 seconds";
        settings.filters.front().selection = selection::Binary;
        settings.ports.push_back(
            {.name = "B", .address = "/dev/client/localhost/" + std::to_string(second.port()), .identifier = 9});
        settings.filters.push_back({true, 1, selection::BinaryMeasurement, output_form::AsReceived, 1});
        settings.filters.push_back({true, 1, selection::BinaryMeasurement, output_form::Text, 2});
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
    ASSERT_EQ(recorder.state(), Recorder::State::Waiting) << (messages.empty() ? "" : "told: " + messages.front());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.portsOpen(); }, "the second port's connection"));
    now += 5;
    view->tick();
    ASSERT_EQ(recorder.state(), Recorder::State::Recording);
    ASSERT_TRUE(
        qtWaitFor([&] { return recorder.fileIndex() >= 3 && recorder.messagesMatched() >= 300; }, "three record files"))
        << recorder.statusLine() << (messages.empty() ? "" : ", told: " + messages.front());
    view->tick();
    EXPECT_STREQ(view->statusPicture(), CIHDMView::statusPictureFor(recorder.statusText()));
    EXPECT_TRUE(view->fileText().startsWith(QStringLiteral("data#"))) << view->fileText().toStdString();
    // The period ends: waiting, which blinks, its text and picture every other second.
    now += 20;
    view->tick();
    ASSERT_EQ(recorder.state(), Recorder::State::Waiting);
    std::set<std::string> shown;
    for (int second = 0; second < 2; ++second) {
        view->tick();
        shown.insert(view->statusText().toStdString() + "/" + view->statusPicture());
    }
    EXPECT_EQ(shown, (std::set<std::string>{"WAITING/IDI_IHDM_STATUS_WAITING", "/IDI_IHDM_STATUS_IDLE"}));
    // What a remote breaker posts to the window resumes, suspends and stops the recording.
    platform::post(view->handle(), CIHDMView::breakerStartMessage());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.state() == Recorder::State::Recording; }, "resumed by the breaker"));
    const std::uint64_t matched = recorder.messagesMatched();
    ASSERT_TRUE(qtWaitFor([&] { return recorder.messagesMatched() > matched; }, "messages after resuming"));
    platform::post(view->handle(), CIHDMView::breakerSuspendMessage());
    ASSERT_TRUE(qtWaitFor([&] { return recorder.state() == Recorder::State::Waiting; }, "suspended by the breaker"));
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
    std::string name;
    for (const auto& [candidate, file] : files) {
        if (named(file.lineWith("$PKVR,RPC,UTMA,PREVIOUS")).empty())
            name = candidate;
    }
    ASSERT_FALSE(name.empty()) << "no file begins the chain";
    std::map<char, std::vector<std::string>> tracks;
    std::size_t chained = 0;
    for (; !name.empty() && chained < files.size(); ++chained) {
        for (const auto& [tag, message] : files[name].messages)
            tracks[tag].push_back(message);
        const std::string next = named(files[name].lineWith("$PKVR,RPC,UTMA,NEXT"));
        if (!next.empty()) {
            EXPECT_EQ(named(files[next].lineWith("$PKVR,RPC,UTMA,PREVIOUS")), name);
        }
        name = next;
    }
    EXPECT_EQ(chained, files.size()) << "files outside the PREVIOUS/NEXT chain";
    EXPECT_TRUE(inSendingOrder(tracks['A'], isBinary)) << "track A";
    ASSERT_FALSE(tracks['B'].empty()) << "no measurement from the second receiver";
    EXPECT_TRUE(inSendingOrder(tracks['B'], isMeasurement)) << "track B";
    EXPECT_EQ(tracks['C'].size(), tracks['B'].size()) << "measurements not all converted to text";
    for (const std::string& text : tracks['C'])
        ASSERT_TRUE(text.starts_with("\x02")) << "no text frame on track C";
    // Each matched message is in exactly one file.
    EXPECT_EQ(tracks['A'].size() + tracks['B'].size() + tracks['C'].size(), recorder.messagesMatched());
}

// A script starts an idle recorder window with its properties as set and stops it again through the breakers: the
// shipped example, recording for one second instead of ten.
TEST_F(RecorderWindowTest, ScriptStartsAndStopsTheRecorderThroughTheBreakers)
{
    testsupport::PortPrintingProcess simulator({ZEB500_SIM_EXECUTABLE, "--port", "0", "--pace", "400", "--frames", "2",
                                                std::string(ZEB500_CAPTURES) + "/nmea/isync.nmea"});
    connection = std::make_unique<stream::IOSTStream>(65);
    ASSERT_EQ(connection->open("/dev/client/localhost/" + std::to_string(simulator.port()), "rb"),
              stream::StreamStatus::Ok);
    CIHDMDocument& document = openRecorder(); // with its default properties, recording into the data folder
    std::string script = testsupport::readFile(std::string(ZEB500_EXAMPLES) + "/record-ten-seconds.utl");
    ASSERT_NE(script.find("second <= 10"), std::string::npos) << "the example no longer counts ten seconds";
    script.replace(script.find("second <= 10"), 12, "second <= 1");
    auto output = std::make_shared<script::vm::StringSink>();
    autotest::RunController controller(output);
    ASSERT_TRUE(controller.prepare(script).ok) << controller.compiled().errorText;
    ASSERT_TRUE(controller.start([](autotest::RunController::Result) {}));
    ASSERT_TRUE(qtWaitFor([&] { return !controller.running(); }, "the end of the script"));
    ASSERT_TRUE(qtWaitFor([&] { return document.recorder().state() == Recorder::State::Idle; }, "the recorder's stop"));
    EXPECT_NE(output->text().find("PASS"), std::string::npos) << output->text();
    EXPECT_GT(document.recorder().messagesMatched(), 0u) << (messages.empty() ? "" : "told: " + messages.front());
    const fs::directory_iterator files(home / "record");
    ASSERT_NE(files, fs::directory_iterator()) << "no record file";
    EXPECT_GT(fs::file_size(files->path()), 1000u);
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
