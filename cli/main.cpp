// tolva: plays, renders, describes and measures tracker modules with the plug-in's own engine.
#include "Commands.h"
#include "Failure.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

using namespace tolva::cli;

int main(int argc, char** argv) {
    CLI::App app{"TOLVA tracker-module player: MOD, S3M, XM, IT, MTM and 669", "tolva"};
    app.require_subcommand(1);
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<PlayCommand>(app));
    commands.push_back(std::make_unique<RenderCommand>(app));
    commands.push_back(std::make_unique<InfoCommand>(app));
    commands.push_back(std::make_unique<LengthCommand>(app));
    commands.push_back(std::make_unique<SettingsCommand>(app));
    // Without a command the arguments are files to play.
    std::vector<char*> args(argv, argv + argc);
    char play[] = "play";
    if (argc > 1 && std::string_view(argv[1]) != "-h" && std::string_view(argv[1]) != "--help" &&
        std::none_of(commands.begin(), commands.end(),
                     [&](const auto& c) { return c->name() == argv[1]; }))
        args.insert(args.begin() + 1, play);
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        reportFailure("", std::string(e.what()) + "\nRun 'tolva --help' for usage.");
        return ExitFailure;
    }
    for (const auto& command : commands)
        if (command->chosen()) {
            // Unwinding puts the terminal back as it was, which an uncaught exception would not.
            try {
                return command->run();
            } catch (const std::exception& e) {
                reportFailure("", e.what());
                return ExitFailure;
            }
        }
    return ExitFailure;
}
