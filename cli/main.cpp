// tolva: renders, describes and measures tracker modules with the plug-in's own engine.
#include "Commands.h"
#include "Failure.h"

#include <memory>
#include <vector>

using namespace tolva::cli;

int main(int argc, char** argv) {
    CLI::App app{"TOLVA tracker-module player: MOD, S3M, XM, IT, MTM and 669", "tolva"};
    app.require_subcommand(1);
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(std::make_unique<RenderCommand>(app));
    commands.push_back(std::make_unique<InfoCommand>(app));
    commands.push_back(std::make_unique<LengthCommand>(app));
    commands.push_back(std::make_unique<SettingsCommand>(app));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        reportFailure("", std::string(e.what()) + "\nRun 'tolva --help' for usage.");
        return ExitFailure;
    }
    for (const auto& command : commands)
        if (command->chosen())
            return command->run();
    return ExitFailure;
}
