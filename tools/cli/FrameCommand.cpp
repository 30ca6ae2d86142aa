#include "FrameCommand.h"

#include "JsonText.h"
#include "messages/MessageFramer.h"
#include "messages/codecs/CodecRegistry.h"
#include "messages/codecs/CodecStatus.h"
#include "messages/codecs/StandardCodecs.h"
#include "messages/codecs/UhfCodec.h"
#include "text/Scan.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace zeb::tools {

namespace {

using messages::FrameResult;
using messages::MessageFramer;
using messages::MessageKind;
using messages::ReadStatus;
using Json = nlohmann::ordered_json;

// "WEEK:SECONDS" -> a time; nullopt for an empty or malformed text.
std::optional<messages::GnssTime> timeOf(const std::string& text)
{
    unsigned week = 0;
    double seconds = 0.0;
    char end = 0;
    if (zeb::text::scan(text, "%u:%lf%c", &week, &seconds, &end) != 2 || week > 0xFFFF
        || !(seconds >= 0.0 && seconds < messages::GnssTime::kSecondsPerWeek)) {
        return std::nullopt;
    }
    return messages::GnssTime{static_cast<std::uint16_t>(week), seconds};
}

// What the terminal's Decoded mode shows for a binary or UHF message: the text of the codec registered for its kind
// and type, or the decode error code; nothing when no codec applies or it has no text for the message.
class Decoder
{
public:
    explicit Decoder(std::optional<messages::GnssTime> reference)
        : m_reference(reference)
        , m_out(std::make_unique<codecs::OutputBuffer>())
    {
        codecs::registerMessageCodecs();
    }

    void add(const FrameResult& result, Json& json)
    {
        if (result.kind != MessageKind::SBin && result.kind != MessageKind::UHF) {
            return;
        }
        const codecs::CodecRegistry::Lease codec = codecs::CodecRegistry::instance().lease(result.kind, result.type);
        if (!codec) {
            return;
        }
        const std::span<const std::uint8_t> frame(result.data, result.length);
        int status = 0;
        if (auto* gnss2 = dynamic_cast<codecs::Gnss2EventCodec*>(&*codec)) {
            status = gnss2->renderRecord(result.type, frame, *m_out);
        } else {
            if (auto* uhf = dynamic_cast<codecs::UhfCodec*>(&*codec)) {
                uhf->setReferenceTime(m_reference);
            }
            status = codec->decode(frame);
            if (status != codecs::codec_status::Ok) {
                json["error"] = status;
                return;
            }
            status = codec->renderText(*m_out);
        }
        if (status == codecs::codec_status::Ok) {
            json["decoded"] = std::string(m_out->text());
        } else if (status != codecs::codec_status::NotRendered && !codec->valid()) {
            json["error"] = status;
        }
    }

private:
    std::optional<messages::GnssTime> m_reference;
    std::unique_ptr<codecs::OutputBuffer> m_out;
};

class Printer
{
public:
    Printer(const FrameCommand::Options& options, std::FILE* out)
        : m_options(options)
        , m_out(out)
    {
        if (options.decoded) {
            m_decoder.emplace(timeOf(options.gnssTime));
        }
    }

    void take(const FrameResult& result, MessageFramer& framer)
    {
        if (result.status != ReadStatus::Complete && !(m_options.discarded && result.status == ReadStatus::Discarded)) {
            return;
        }
        // Request frames go to the stream's request service; subscribers never see them.
        if (result.status == ReadStatus::Complete && result.kind == MessageKind::SBin
            && result.type == messages::message_type::Rpc) {
            return;
        }
        const std::string status(messages::readStatusName(result.status));
        const std::string kind(messages::messageKindName(result.kind));
        const std::string type(messages::messageTypeName(result.type));
        if (m_options.count) {
            ++m_total;
            ++m_byStatus[status];
            ++m_byKind[kind];
            ++m_byType[type];
            return;
        }
        Json json;
        json["status"] = status;
        json["kind"] = kind;
        json["type"] = type;
        json["length"] = result.length;
        json["hex"] = hexOf(result.data, result.length);
        if (result.rtcm != nullptr) {
            const auto& rtcm = *result.rtcm;
            json["rtcm"] = Json{{"type", rtcm.messageType}, {"station", rtcm.stationId}, {"zcount", rtcm.zCount},
                                {"seq", rtcm.sequence},     {"length", rtcm.length},     {"health", rtcm.health}};
        }
        if (result.kind == MessageKind::HttpRequest && result.status == ReadStatus::Complete) {
            json["http"] = httpOf(framer.http());
        }
        if (m_decoder && result.status == ReadStatus::Complete) {
            m_decoder->add(result, json);
        }
        std::fprintf(m_out, "%s\n", dump(json).c_str());
    }

    void finish()
    {
        if (!m_options.count) {
            return;
        }
        Json json;
        json["messages"] = m_total;
        json["status"] = Json(m_byStatus);
        json["kind"] = Json(m_byKind);
        json["type"] = Json(m_byType);
        std::fprintf(m_out, "%s\n", dump(json).c_str());
    }

private:
    static Json httpOf(const messages::HttpRequestRecord& record)
    {
        Json headers = Json::object();
        for (std::size_t i = 0; i < record.headerCount(); ++i) {
            const auto header = record.header(i);
            headers[std::string(header.name)] = std::string(header.value);
        }
        return Json{{"method", std::string(record.method())},
                    {"target", std::string(record.target())},
                    {"major", record.versionMajor()},
                    {"minor", record.versionMinor()},
                    {"headers", headers}};
    }

    const FrameCommand::Options& m_options;
    std::FILE* m_out;
    std::optional<Decoder> m_decoder;
    std::size_t m_total = 0;
    std::map<std::string, std::size_t> m_byStatus;
    std::map<std::string, std::size_t> m_byKind;
    std::map<std::string, std::size_t> m_byType;
};

// Steps until the framer has nothing more to hand out, as the receive loop does before it reads.
void drain(MessageFramer& framer, Printer& printer)
{
    for (;;) {
        const FrameResult result = framer.step();
        if (result.status != ReadStatus::Complete && result.status != ReadStatus::Discarded) {
            return;
        }
        printer.take(result, framer);
    }
}

} // namespace

FrameCommand::Options& FrameCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("frame", "Cut a byte flow into messages and print them as JSON lines");
    subcommand->add_option("--chunk", options.chunk, "Bytes per read (default 4096)")
        ->check(CLI::Range(std::size_t{1}, MessageFramer::kCapacity));
    subcommand->add_flag("--discarded", options.discarded, "Print discarded steps too");
    subcommand->add_flag("--count", options.count, "Print only a count of the messages by kind and type");
    subcommand->add_flag("--decoded", options.decoded,
                         "Add the text of each binary and UHF message as the terminal's Decoded mode shows it");
    subcommand->add_option("--gnss-time", options.gnssTime, "WEEK:SECONDS that UHF frame times resolve against")
        ->check([](const std::string& text) {
            return timeOf(text) ? std::string() : std::string("expected WEEK:SECONDS");
        });
    subcommand->add_option("input", options.input, "Captured bytes; - for standard input (default)");
    return options;
}

int FrameCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    const bool fromStdin = options.input == "-";
    std::FILE* in = fromStdin ? stdin : std::fopen(options.input.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(err, "zeb500-cli frame: cannot read %s: %s\n", options.input.c_str(), std::strerror(errno));
        return 2;
    }
    const auto framer = std::make_unique<MessageFramer>();
    Printer printer(options, out);
    int status = 0;
    for (;;) {
        const auto space = framer->freeSpace();
        const std::size_t want = std::min(options.chunk, space.size());
        const std::size_t got = std::fread(space.data(), 1, want, in);
        framer->commit(got);
        drain(*framer, printer);
        if (got < want) {
            if (std::ferror(in) != 0) {
                std::fprintf(err, "zeb500-cli frame: cannot read %s: %s\n",
                             fromStdin ? "standard input" : options.input.c_str(), std::strerror(errno));
                status = 2;
            }
            break;
        }
    }
    if (status == 0) {
        printer.take(framer->step(true), *framer);
        printer.finish();
    }
    if (!fromStdin) {
        std::fclose(in);
    }
    return status;
}

} // namespace zeb::tools
