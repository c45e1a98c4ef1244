// tolva: plays, renders, describes and measures tracker modules with the plug-in's own engine.
#include "Commands.h"
#include "Failure.h"
#include "HelpFormat.h"
#include "Terminal.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

using namespace tolva::cli;

namespace {

constexpr const char* ShortUsage =
    "Usage: tolva SONG...                 play modules (the same as tolva play)\n"
    "       tolva render SONG... [-o OUT]  write them to WAV, FLAC or raw PCM\n"
    "       tolva info SONG... [--json]    what they hold\n"
    "       tolva length SONG... [--json]  how long they play\n"
    "       tolva settings [FILE]          show or write a settings file (in_tolva.dat)\n"
    "Run 'tolva --help' for more, 'tolva COMMAND --help' for a command's options.\n";

// The parser's complaint in the tool's words; arguments it did not know come first.
std::string mistake(const CLI::ParseError& error, const CLI::App* command) {
    if (command && !command->remaining().empty()) {
        const std::string extra = command->remaining().front();
        return extra.size() > 1 && extra[0] == '-' ? "unknown option '" + extra + "'"
                                                   : "unexpected argument '" + extra + "'";
    }
    if (dynamic_cast<const CLI::RequiredError*>(&error))
        return "no module given";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
        std::string text = error.what();
        return text.substr(0, text.find(':')) + " needs a value";
    }
    return error.what();
}

// Any thread may find the heap exhausted; the tool then ends with its failure status rather
// than on the abort signal an uncaught exception would bring.
[[noreturn]] void outOfMemory() {
    Terminal::restore();
    std::fputs("tolva: out of memory\n", stderr);
    std::_Exit(ExitFailure);
}

// The argument parser's library builds objects before main, and those allocations too may fail.
[[gnu::constructor(101)]] void handleOutOfMemoryFromStartUp() {
    std::set_new_handler(outOfMemory);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"TOLVA tracker-module player: MOD, S3M, XM, IT, MTM and 669", "tolva"};
    app.formatter(std::make_shared<HelpFormat>());
    app.require_subcommand(1);
    app.set_version_flag("--version", "tolva " TOLVA_VERSION, "Print the version and exit");
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<PlayCommand>(app));
    commands.push_back(std::make_unique<RenderCommand>(app));
    commands.push_back(std::make_unique<InfoCommand>(app));
    commands.push_back(std::make_unique<LengthCommand>(app));
    commands.push_back(std::make_unique<SettingsCommand>(app));
    app.footer("With no command, the files are played.\n"
               "Exit status: 0 done, 1 error, 2 not a module in a supported format.\n");
    if (argc < 2) {
        std::fputs(ShortUsage, stdout);
        return ExitFailure;
    }
    // Without a command the arguments are files to play.
    std::vector<char*> args(argv, argv + argc);
    char play[] = "play";
    const std::string_view first = argv[1];
    auto named = [&](const auto& c) { return c->name() == first; };
    if (first != "-h" && first != "--help" && first != "--version" &&
        std::none_of(commands.begin(), commands.end(), named))
        args.insert(args.begin() + 1, play);
    const auto chosen = std::find_if(commands.begin(), commands.end(),
                                     [&](const auto& c) { return c->name() == args[1]; });
    const CLI::App* command = chosen == commands.end() ? nullptr : (*chosen)->app();
    try {
        app.parse(static_cast<int>(args.size()), args.data());
        if (command && !command->remaining().empty())
            throw CLI::ExtrasError(command->remaining());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return usageFailure(command ? command->get_name() : "", mistake(e, command));
    }
    for (const auto& command : commands)
        if (command->chosen()) {
            // Unwinding puts the terminal back as it was, which an uncaught exception would not.
            try {
                return command->run();
            } catch (const std::system_error& e) {
                // A thread without room for its stack.
                const bool memory = e.code() == std::errc::resource_unavailable_try_again;
                reportFailure("", memory ? "out of memory" : e.what());
                return ExitFailure;
            } catch (const std::exception& e) {
                reportFailure("", e.what());
                return ExitFailure;
            }
        }
    return ExitFailure;
}
