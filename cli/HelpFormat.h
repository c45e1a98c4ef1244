#pragma once
#include <CLI/CLI.hpp>

namespace tolva::cli {

// Help in plain words: "--rate HZ", "--mono, --no-mono", the default in each description
// rather than the parser's type notation, descriptions wrapped to 80 columns.
class HelpFormat : public CLI::Formatter {
public:
    HelpFormat();
    std::string make_option(const CLI::Option* option, bool positional) const override;
    std::string make_option_name(const CLI::Option* option, bool positional) const override;
    std::string make_option_opts(const CLI::Option* option) const override;
    std::string make_subcommand(const CLI::App* command) const override;

private:
    std::string entry(const std::string& head, const std::string& description) const;
};

} // namespace tolva::cli
