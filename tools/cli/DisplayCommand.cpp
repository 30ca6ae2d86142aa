#include "DisplayCommand.h"

#include "Connection.h"
#include "Transports.h"
#include "platform/HeadlessDispatcher.h"
#include "remote-display/core/DisplayInterpreter.h"
#include "remote-display/core/DisplayReceiver.h"
#include "remote-display/core/JsonPainter.h"
#include "remote-display/core/PanelRequests.h"
#include "stream/IOSTStream.h"
#include "stream/rpc/RemoteRequests.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <functional>
#include <optional>

namespace zeb::tools {

namespace {

using remote_display::PanelRequests;

std::optional<std::uint32_t> parseCode(std::string_view text)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<std::pair<int, int>> parseClick(std::string_view text)
{
    const auto comma = text.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto x = parseCode(text.substr(0, comma));
    const auto y = parseCode(text.substr(comma + 1));
    if (!x || !y || *x >= remote_display::DisplayInterpreter::kWidth
        || *y >= remote_display::DisplayInterpreter::kHeight)
        return std::nullopt;
    return std::pair{static_cast<int>(*x), static_cast<int>(*y)};
}

// The keys, then the clicks, each sent after a list has come.
bool parseActions(const DisplayCommand::Options& options,
                  std::vector<std::function<void(stream::IOSTStream&)>>& actions, std::FILE* err)
{
    for (const std::string& key : options.keys) {
        const auto code = parseCode(key);
        if (!code) {
            std::fprintf(err, "display: --key takes a number (decimal or 0x...), not %s\n", key.c_str());
            return false;
        }
        actions.push_back([code = *code](stream::IOSTStream& link) { PanelRequests::sendKey(link, code); });
    }
    for (const std::string& click : options.clicks) {
        const auto point = parseClick(click);
        if (!point) {
            std::fprintf(err, "display: --click takes X,Y inside the 320 x 240 display, not %s\n", click.c_str());
            return false;
        }
        actions.push_back(
            [point = *point](stream::IOSTStream& link) { PanelRequests::sendClick(link, point.first, point.second); });
    }
    return true;
}

} // namespace

DisplayCommand::Options& DisplayCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand
        = app.add_subcommand("display", "Show a receiver's front-panel display as drawing operations (JSON lines)");
    subcommand->add_option("address", options.address, "Stream address, e.g. /dev/client/localhost/4001")->required();
    subcommand->add_option("--key", options.keys, "Key code to send after a list (decimal or 0x...), repeatable");
    subcommand->add_option("--click", options.clicks, "Click X,Y in the display to send after a list, repeatable");
    subcommand->add_option("--lists", options.lists, "Lists to print (default: one more than the keys and clicks)")
        ->check(CLI::Range(1, 1000000));
    subcommand->add_option("--timeout", options.timeoutSeconds, "Seconds to wait for the lists")
        ->check(CLI::Range(0.0, 3600.0));
    return options;
}

int DisplayCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    std::vector<std::function<void(stream::IOSTStream&)>> actions;
    if (!checkConnectionAddress(options.address, "display", err) || !parseActions(options, actions, err))
        return 2;
    registerTransports();
    // Frames of requests reach the receiver; this side serves no files.
    stream::rpc::RemoteRequests::install({});
    platform::HeadlessDispatcher dispatcher;
    stream::IOSTStream link(stream::IOSTStream::kAnonymous);
    const int wanted = options.lists > 0 ? options.lists : static_cast<int>(actions.size()) + 1;
    int printed = 0;
    std::unique_ptr<remote_display::DisplayReceiver> receiver;
    receiver = std::make_unique<remote_display::DisplayReceiver>(remote_display::DisplayReceiver::Hooks{
        [&] {
            remote_display::JsonPainter painter;
            remote_display::DisplayInterpreter::interpret(receiver->list().shown(), painter);
            painter.end();
            std::fputs(painter.lines().c_str(), out);
            std::fflush(out);
            if (static_cast<std::size_t>(printed) < actions.size())
                actions[static_cast<std::size_t>(printed)](link);
            ++printed;
        },
        [&] { PanelRequests::sendSentence(link, PanelRequests::kScreenOn); },
        {}});
    receiver->attach(&link);
    if (!openConnection(link, options.address, "display", err))
        return 2;
    const auto limit = std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
    dispatcher.runUntil([&] { return printed >= wanted || !link.isOpen(); }, limit);
    PanelRequests::sendSentence(link, PanelRequests::kScreenOff);
    receiver->attach(nullptr);
    link.close();
    if (printed < wanted) {
        std::fprintf(err, "display: %d of %d display lists from %s within %g s\n", printed, wanted,
                     options.address.c_str(), options.timeoutSeconds);
        return 1;
    }
    return 0;
}

} // namespace zeb::tools
