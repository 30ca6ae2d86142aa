#include "SkyplotCommand.h"

#include "Connection.h"
#include "JsonText.h"
#include "Transports.h"
#include "geometry/core/SkyPlotModel.h"
#include "messages/MessageFramer.h"
#include "stream/IOSTStream.h"
#include "stream/StreamCallback.h"
#include "stream/StreamEvent.h"
#include "text/Scan.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

namespace zeb::tools {

namespace {

using Json = nlohmann::ordered_json;
constexpr unsigned kMaxSide = 100000;

double rounded(double value)
{
    return std::round(value * 100.0) / 100.0;
}

// The sky plot model fed from one thread at a time, printing each drawing pass.
class Plot
{
public:
    Plot(int width, int height, unsigned passes, std::FILE* out)
        : m_width(width)
        , m_height(height)
        , m_limit(passes)
        , m_out(out)
    {
    }

    void receive(std::string_view sentence)
    {
        const std::lock_guard lock(m_mutex);
        if (done() || !m_model.receive(sentence))
            return;
        print(m_model.draw(m_width, m_height));
        ++m_passes;
        if (done())
            m_finished.notify_all();
    }

    // Waits until enough passes are printed or the time is up; true when enough are.
    bool waitDone(std::chrono::steady_clock::time_point until)
    {
        std::unique_lock lock(m_mutex);
        return m_finished.wait_until(lock, until, [this] { return done(); });
    }

    static void callback(void* context, stream::IOSTStream*, stream::StreamEventCode code, std::intptr_t argument)
    {
        if (code != stream::StreamEventCode::Receive)
            return;
        const stream::StreamEvent& event = stream::eventArgument(argument);
        if (event.kind == messages::MessageKind::Telecommand)
            static_cast<Plot*>(context)->receive(event.text());
    }

private:
    bool done() const { return m_limit != 0 && m_passes >= m_limit; }

    void print(const geometry::SkyPicture& picture)
    {
        Json satellites = Json::array();
        for (const geometry::SkyGlyph& glyph : picture.glyphs) {
            satellites.push_back({{"prn", glyph.prn},
                                  {"x", rounded(glyph.px)},
                                  {"y", rounded(glyph.py)},
                                  {"used", glyph.used},
                                  {"direction", rounded(glyph.direction)}});
        }
        const Json line{{"title", picture.title()},
                        {"radius", rounded(picture.radius)},
                        {"maskRadius", rounded(picture.maskRadius)},
                        {"satellites", std::move(satellites)}};
        std::fprintf(m_out, "%s\n", dump(line).c_str());
        std::fflush(m_out);
    }

    geometry::SkyPlotModel m_model;
    int m_width;
    int m_height;
    unsigned m_limit;
    unsigned m_passes = 0;
    std::FILE* m_out;
    std::mutex m_mutex;
    std::condition_variable m_finished;
};

int readLog(const std::string& path, Plot& plot, std::FILE* err)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!in) {
        std::fprintf(err, "zeb500-cli skyplot: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return 2;
    }
    const auto framer = std::make_unique<messages::MessageFramer>();
    const auto take = [&plot](const messages::FrameResult& result) {
        if (result.status == messages::ReadStatus::Complete && result.kind == messages::MessageKind::Telecommand)
            plot.receive(std::string_view(reinterpret_cast<const char*>(result.data), result.length));
    };
    for (bool more = true; more;) {
        const auto space = framer->freeSpace();
        const std::size_t got = std::fread(space.data(), 1, space.size(), in.get());
        framer->commit(got);
        more = got == space.size();
        for (;;) {
            const messages::FrameResult result = framer->step();
            if (result.status != messages::ReadStatus::Complete && result.status != messages::ReadStatus::Discarded)
                break;
            take(result);
        }
    }
    // A last sentence without its line end.
    take(framer->step(true));
    if (std::ferror(in.get()) != 0) {
        std::fprintf(err, "zeb500-cli skyplot: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        return 2;
    }
    return 0;
}

int pollReceiver(const SkyplotCommand::Options& options, Plot& plot, std::FILE* err)
{
    registerTransports();
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    link.subscribeCallback(&Plot::callback, &plot);
    if (!openConnection(link, options.source, "skyplot", err))
        return 2;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = options.seconds > 0
        ? start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds))
        : Clock::time_point::max();
    for (auto next = start; next < end;) {
        for (const std::string_view query : geometry::SkyPlotModel::kQueries)
            link.write(query);
        next = std::min(next + geometry::SkyPlotModel::kPollPeriod, end);
        if (plot.waitDone(next))
            break;
    }
    link.close();
    return 0;
}

} // namespace

SkyplotCommand::Options& SkyplotCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand
        = app.add_subcommand("skyplot", "Print the sky plot's drawing passes of a log or a receiver as JSON lines");
    subcommand->add_option("source", options.source, "Log of sentences, or a receiver's stream address to poll")
        ->required();
    subcommand->add_option("--size", options.size, "Plot size in pixels, WxH")->capture_default_str();
    subcommand->add_option("--seconds", options.seconds, "Stop polling a receiver after this long (0: never)")
        ->check(CLI::Range(0.0, 1e7));
    subcommand->add_option("--passes", options.passes, "Stop after this many drawing passes (0: no limit)");
    return options;
}

int SkyplotCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    unsigned width = 0;
    unsigned height = 0;
    char extra = 0;
    if (text::scan(options.size, "%ux%u%c", &width, &height, &extra) != 2 || width == 0 || height == 0
        || width > kMaxSide || height > kMaxSide) {
        std::fprintf(err, "zeb500-cli skyplot: --size takes WIDTHxHEIGHT in pixels, e.g. 300x300\n");
        return 2;
    }
    Plot plot(static_cast<int>(width), static_cast<int>(height), options.passes, out);
    if (options.source.starts_with("/dev/"))
        return pollReceiver(options, plot, err);
    return readLog(options.source, plot, err);
}

} // namespace zeb::tools
