#include "HelpFormat.h"

#include <sstream>

namespace tolva::cli {

namespace {

constexpr std::size_t HeadColumns = 30;
constexpr std::size_t LineColumns = 80;

} // namespace

HelpFormat::HelpFormat() {
    label("SUBCOMMAND", "COMMAND");
    label("Positionals", "Arguments");
}

std::string HelpFormat::entry(const std::string& head, const std::string& description) const {
    const std::string indent(HeadColumns, ' ');
    std::string out = "  " + head;
    std::string line;
    bool first = true;
    auto flush = [&] {
        if (first && out.size() < HeadColumns)
            out += std::string(HeadColumns - out.size(), ' ') + line + "\n";
        else
            out += (first ? "\n" : "") + indent + line + "\n";
        first = false;
        line.clear();
    };
    std::istringstream words(description);
    std::string word;
    while (words >> word) {
        if (!line.empty() && HeadColumns + line.size() + 1 + word.size() > LineColumns)
            flush();
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty() || first)
        flush();
    return out;
}

std::string HelpFormat::make_option(const CLI::Option* option, bool positional) const {
    return entry(make_option_name(option, positional) + make_option_opts(option),
                 make_option_desc(option));
}

std::string HelpFormat::make_subcommand(const CLI::App* command) const {
    return entry(command->get_display_name(true), command->get_description());
}

std::string HelpFormat::make_option_name(const CLI::Option* option, bool positional) const {
    if (positional)
        return option->get_name(true, false);
    std::string names;
    for (const std::string& name : option->get_snames())
        names += (names.empty() ? "-" : ", -") + name;
    for (const std::string& name : option->get_lnames())
        names += (names.empty() ? "--" : ", --") + name;
    return names;
}

std::string HelpFormat::make_option_opts(const CLI::Option* option) const {
    if (option->get_type_size() == 0 || option->get_type_name().empty() || option->get_positional())
        return "";
    return " " + option->get_type_name();
}

} // namespace tolva::cli
