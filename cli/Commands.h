#pragma once
#include "Failure.h"
#include "NumberCheck.h"
#include "RenderJob.h"
#include "SettingsOptions.h"
#include "SubsongChoice.h"
#include "SongPlayback.h"

#include <CLI/CLI.hpp>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace tolva::cli {

// The furthest --start and --seconds reach: more than a module's longest measured length.
constexpr double MaxStartSeconds = 4e6;

// One subcommand of the tool: its options are registered on construction, run() carries it
// out and answers the exit status.
class Command {
public:
    virtual ~Command() = default;
    bool chosen() const { return command_->parsed(); }
    const std::string& name() const { return command_->get_name(); }
    const CLI::App* app() const { return command_; }
    virtual int run() = 0;

protected:
    Command(CLI::App& app, const std::string& name, const std::string& help, unsigned settings)
        : command_(app.add_subcommand(name, help)) {
        // Unknown options are told apart from missing files: main looks at them first.
        command_->allow_extras();
        command_->group("Commands");
        settings_.addTo(*command_, settings);
    }
    // The settings the command works with; false (already reported) when the options
    // contradict each other or the settings file cannot be read.
    bool resolveSettings(Settings& settings) const;

    CLI::App* command_;
    SettingsOptions settings_;
};

class RenderCommand final : public Command {
public:
    explicit RenderCommand(CLI::App& app);
    int run() override;

private:
    std::vector<std::optional<uint32_t>> channelsOf(const std::string& file,
                                                    const PlaybackPlan& plan) const;
    // A job for each song, or each stem; "" or why two of them would write the same file.
    std::string planJobs(const PlaybackPlan& plan, bool toFolder,
                         std::deque<RenderJob>& jobs) const;
    int renderAll(std::deque<RenderJob>& jobs, const RenderRequest& request) const;

    std::vector<std::string> files_;
    std::string output_;
    double seconds_ = 0;
    double start_ = 0;
    CLI::Option* secondsOption_ = nullptr;
    CLI::Option* seedOption_ = nullptr;
    uint16_t seed_ = 0;
    bool force_ = false;
    SubsongChoice subsongs_;
    bool stems_ = false;
};

class PlayCommand final : public Command {
public:
    explicit PlayCommand(CLI::App& app);
    int run() override;

private:
    std::vector<std::string> files_;
    bool shuffle_ = false;
    bool repeat_ = false;
    bool quiet_ = false;
    double start_ = 0;
    double seconds_ = 0;
    CLI::Option* secondsOption_ = nullptr;
    SubsongChoice subsongs_;
};

class InfoCommand final : public Command {
public:
    explicit InfoCommand(CLI::App& app);
    int run() override;

private:
    std::vector<std::string> files_;
    bool json_ = false;
};

class LengthCommand final : public Command {
public:
    explicit LengthCommand(CLI::App& app);
    int run() override;

private:
    std::vector<std::string> files_;
    bool json_ = false;
};

class SettingsCommand final : public Command {
public:
    explicit SettingsCommand(CLI::App& app);
    int run() override;

private:
    std::string file_;
    std::string write_;
    bool json_ = false;
};

} // namespace tolva::cli
