#include "recorder/engine/Recorder.h"
#include "recorder/files/RecordFileReader.h"
#include "stream/socket/SocketTransports.h"
#include "testsupport/LoopbackPeer.h"
#include "testsupport/TempFolder.h"
#include "testsupport/WaitFor.h"

#include <gtest/gtest.h>

#include <thread>

namespace zeb::recorder {
namespace {

std::string sentence(int n)
{
    return "$GPTXT," + std::to_string(n) + "\r\n";
}

// A port the recorder opens itself delivers on its receive thread while the owner ticks and stops, both writing
// records: what arrived before the stop is in the file whole, in order, from the first message on, and the stop
// returns.
TEST(RecorderThreadTest, StopsWhileAPortItOpenedDelivers)
{
    stream::socket::registerSocketTransports();
    testsupport::TempFolder folder;
    testsupport::LoopbackPeer peer;
    RecorderSettings settings = RecorderSettings::defaults(folder.path().string());
    settings.directory = folder.path().string();
    settings.format = 1;
    settings.granularityUnit = 1; // one file: 10 MB
    settings.ports = {{"net", peer.address(), 7, true}};
    settings.filters = {{true, 0, selection::Sentences, output_form::AsReceived, 1}};
    Recorder recorder(settings);
    ASSERT_EQ(recorder.start(1'800'000'000), std::nullopt);
    // The connection is made in the background and taken on by the owner.
    ASSERT_TRUE(testsupport::waitFor(
        [&] {
            recorder.servicePorts();
            return recorder.portsOpen();
        },
        "the recorder's connection"));
    // The peer takes the connection on its own thread: what it sends before that goes nowhere.
    ASSERT_TRUE(testsupport::waitFor([&] { return peer.connected(); }, "the peer's side of the connection"));

    std::atomic<bool> stop{false};
    std::thread sender([&] {
        for (int i = 0; i < 100000 && !stop; ++i)
            peer.send(sentence(i));
    });
    // Enough that the receive thread writes too, while the owner writes at its ticks.
    std::int64_t now = 1'800'000'000;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            recorder.tick(++now);
            return recorder.messagesMatched() >= 20000;
        },
        "20000 recorded messages"));
    recorder.stop();
    stop = true;
    sender.join();

    std::FILE* file = std::fopen((folder / "data-1.dat").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    RecordFileReader reader(file);
    RecordFileReader::Record record;
    int next = 0;
    while (reader.next(record) == RecordFileReader::Status::Record) {
        if (record.header.type != RecordHeader::kMessage)
            continue;
        EXPECT_EQ(std::string(record.data.begin(), record.data.end()), sentence(next)) << "record " << next;
        ++next;
    }
    EXPECT_EQ(reader.error(), "");
    EXPECT_EQ(static_cast<std::uint64_t>(next), recorder.messagesMatched());
    std::fclose(file);
}

// An output address instead of files: the records reach the peer framed, after a "start" line naming the address,
// and no file is made.
TEST(RecorderThreadTest, WritesToAnOutputStream)
{
    stream::socket::registerSocketTransports();
    testsupport::TempFolder folder;
    testsupport::LoopbackPeer peer;
    stream::IOSTStream port(201);
    RecorderSettings settings = RecorderSettings::defaults(folder.path().string());
    settings.directory = folder.path().string();
    settings.baseName = peer.address();
    settings.bindDocumentPort(201);
    Recorder recorder(settings, &port);
    ASSERT_EQ(recorder.start(1'800'000'000), std::nullopt);
    for (int i = 0; i < 3; ++i) {
        const std::string text = sentence(i);
        port.feed({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    }
    recorder.stop();
    ASSERT_TRUE(testsupport::waitFor([&] { return peer.received().size() > 100; }, "the records at the peer"));

    const std::string received = peer.received();
    std::FILE* file = ::fmemopen(const_cast<char*>(received.data()), received.size(), "rb");
    ASSERT_NE(file, nullptr);
    RecordFileReader reader(file);
    RecordFileReader::Record record;
    std::vector<std::string> texts;
    while (reader.next(record) == RecordFileReader::Status::Record) {
        if (record.header.marker == 1) // not the series' own header lines
            texts.emplace_back(record.data.begin(), record.data.end());
    }
    std::fclose(file);
    ASSERT_EQ(texts.size(), 4u) << reader.error();
    EXPECT_EQ(texts[0], "start " + peer.address() + std::string(1, '\0'));
    EXPECT_EQ(texts[3], sentence(2));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

} // namespace
} // namespace zeb::recorder
