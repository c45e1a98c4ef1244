#include "SettingsOptions.h"

#include "Failure.h"
#include "formats/FormatTable.h"
#include "settings/SettingsFile.h"
#include "song/FileStream.h"

#include <algorithm>
#include <type_traits>
#include <variant>

namespace tolva::cli {

std::vector<std::string> formatOptionNames() {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < FormatCount; ++i)
        names.emplace_back(formatRowBySwitch(i)->optionName);
    return names;
}

CLI::Validator oneOf(std::vector<std::string> names) {
    return CLI::Validator(
        [names](std::string& text) -> std::string {
            if (std::find(names.begin(), names.end(), text) != names.end())
                return "";
            std::string list;
            for (const std::string& name : names)
                list += (list.empty() ? "" : ", ") + name;
            return "'" + text + "' is not one of " + list;
        },
        "");
}

namespace {

template <typename T> CLI::Option* addField(CLI::App& command, const OptionRow& row, T& value) {
    if constexpr (std::is_same_v<T, bool>)
        return command.add_flag(row.names, value, row.help);
    else
        return command.add_option(row.names, value, row.help);
}

} // namespace

void SettingsOptions::addTo(CLI::App& command, unsigned groups) {
    for (const OptionRow& row : settingsOptionRows(groups)) {
        CLI::Option* option = std::visit(
            [&](auto field) { return addField(command, row, values_.*field); }, row.field);
        option->group("Settings");
        if (!row.valueName.empty())
            option->type_name(row.valueName);
        if (row.delimiter != 0)
            option->delimiter(row.delimiter);
        if (row.check)
            option->check(*row.check);
        added_.push_back({option, row.apply});
    }
}

bool SettingsOptions::given(const std::string& name) const {
    for (const Added& added : added_)
        if (added.option->check_name(name))
            return added.option->count() > 0;
    return false;
}

SoundChoices SettingsOptions::soundChoices() const {
    SoundChoices c;
    const std::string modes[] = {"none", "linear", "cubic", "sinc"};
    for (uint8_t i = 0; i < 4; ++i)
        if (given("--interpolation") && values_.interpolation == modes[i])
            c.interpolation = static_cast<Interpolation>(i);
    c.stereoSeparation = static_cast<uint16_t>(values_.stereoSeparation);
    c.floatSamples = values_.bits == "float";
    for (const uint32_t channel : values_.muted)
        c.mutedChannels |= uint64_t{1} << (channel - 1);
    uint64_t heard = 0;
    for (const uint32_t channel : values_.solo)
        heard |= uint64_t{1} << (channel - 1);
    if (!values_.solo.empty())
        c.mutedChannels |= ~heard;
    return c;
}

bool SettingsOptions::consistent(std::string& reason) const {
    if (given("--loops") && given("--extra-seconds")) {
        reason = "--loops counts loops and --extra-seconds counts seconds: give one of them";
        return false;
    }
    for (const std::string& name : values_.enabled)
        if (std::find(values_.disabled.begin(), values_.disabled.end(), name) !=
            values_.disabled.end()) {
            reason = "--enable " + name + " and --disable " + name + " contradict each other";
            return false;
        }
    return true;
}

void SettingsOptions::applyOptions(Settings& settings) const {
    for (const Added& added : added_)
        if (added.apply && added.option->count() > 0)
            added.apply(values_, settings);
}

bool SettingsOptions::resolve(Settings& settings, std::string& reason) const {
    setDefaults(settings);
    if (!file().empty()) {
        if (!readSettingsFile(file(), settings, reason))
            return false;
        replaceUnusableFields(settings);
    }
    applyOptions(settings);
    return true;
}

bool readSettingsFile(const std::string& path, Settings& stored, std::string& reason) {
    reason = unreadable(path);
    if (!reason.empty())
        return false;
    FileStream file(path.c_str(), platform::FileMode::Read);
    if (!file.isOpen()) {
        reason = "cannot read file";
        return false;
    }
    uint8_t bytes[SettingsFileSize];
    if (file.size() < SettingsFileSize || file.read(SettingsFileSize, bytes) != 0) {
        reason = "not a settings file: it holds " + std::to_string(file.size()) +
                 " bytes, a settings file " + std::to_string(SettingsFileSize);
        return false;
    }
    stored = decodeSettings(bytes);
    return true;
}

} // namespace tolva::cli
