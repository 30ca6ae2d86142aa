#include "CompileCommand.h"

#include "script/front/Compiler.h"
#include "script/front/Listing.h"
#include "script/front/ScriptImage.h"
#include "script/front/TreeDump.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace zeb::tools {

bool CompileCommand::readScript(const std::string& path, std::string& text, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0));
    if (size > kMaxScriptBytes) {
        error = path + " is larger than 16 MiB: not a script";
        return false;
    }
    in.seekg(0);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

namespace {

// The line of the text where the error stands, and a caret under its column.
void showErrorPlace(std::FILE* err, const std::string& text, const script::SourcePosition& at)
{
    std::size_t begin = std::min<std::size_t>(at.offset, text.size());
    while (begin > 0 && text[begin - 1] != '\n')
        --begin;
    std::size_t end = text.find('\n', begin);
    if (end == std::string::npos)
        end = text.size();
    std::fprintf(err, "%.*s\n%*s^\n", static_cast<int>(end - begin), text.data() + begin,
                 static_cast<int>(at.offset - begin), "");
}

} // namespace

CompileCommand::Options& CompileCommand::addTo(CLI::App& app, CLI::App*& subcommand)
{
    static Options options;
    subcommand = app.add_subcommand("compile", "Compile a test script and show its code or syntax errors");
    subcommand->add_option("script", options.file, "Test script (.utl)")->required();
    subcommand->add_flag("--listing", options.listing, "Print the instructions of the method");
    subcommand->add_flag("--tree", options.tree, "Print the syntax tree of the method's body");
    subcommand->add_option("--method", options.method, "The method to print")->capture_default_str();
    return options;
}

int CompileCommand::run(const Options& options, std::FILE* out, std::FILE* err)
{
    std::string text;
    std::string error;
    if (!readScript(options.file, text, error)) {
        std::fprintf(err, "%s\n", error.c_str());
        return 2;
    }
    script::Compiler compiler;
    if (!compiler.compile(text)) {
        std::fprintf(err, "%s: %s\n", options.file.c_str(), compiler.errorText().c_str());
        showErrorPlace(err, text, compiler.errorPosition());
        return 1;
    }
    script::ScriptImage image;
    const auto diagnostics = compiler.install(image);
    for (const script::Diagnostic& diagnostic : diagnostics)
        std::fprintf(err, "%s:%u:%u: %s\n", options.file.c_str(), diagnostic.line, diagnostic.column,
                     diagnostic.text.c_str());
    if (options.listing || options.tree) {
        const script::Node* definition = compiler.tree().method(options.method);
        const script::CompiledMethod* method = image.method(options.method);
        if (definition == nullptr) {
            std::fprintf(err, "%s: no method \"%s\" in the script\n", options.file.c_str(), options.method.c_str());
            return 1;
        }
        std::string shown = options.tree ? script::TreeDump::of(definition->first) : std::string();
        if (options.listing && method != nullptr)
            shown += script::Listing::of(*method);
        std::fwrite(shown.data(), 1, shown.size(), out);
    }
    return diagnostics.empty() ? 0 : 1;
}

} // namespace zeb::tools
