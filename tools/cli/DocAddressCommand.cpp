#include "DocAddressCommand.h"

#include "documentation/browser/core/DocumentationRoots.h"
#include "documentation/browser/core/ShownAddress.h"
#include "platform/Environment.h"

#include <CLI/CLI.hpp>

namespace zeb::tools {

DocAddressCommand::Options& DocAddressCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("doc-address", "Print the address the documentation browser would show");
    subcommand->add_option("--lang", options.language, "Language code (ENU, FRA, ESP, ...); default ZEB500_LANG");
    subcommand->add_option("address", options.address, "e.g. file:///usr/share/zeb500/documentation/ENU/terminal.html")
        ->required();
    return options;
}

int DocAddressCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    const std::string language = options.language.empty() ? platform::Environment::language() : options.language;
    const auto shown = documentation::ShownAddress::choose(options.address, language,
                                                           documentation::DocumentationRoots::installed());
    if (shown.refused)
        std::fprintf(err, "doc-address: %s is not in a documentation folder: the introduction is shown instead\n",
                     shown.refusedAddress.c_str());
    std::fprintf(out, "%s%s\n", shown.external ? "web " : "", shown.address.c_str());
    return 0;
}

} // namespace zeb::tools
