#include "SubsongChoice.h"

#include "NumberCheck.h"

namespace tolva::cli {

void SubsongChoice::addTo(CLI::App& command, const std::string& allHelp) {
    CLI::Option* one =
        command
            .add_option("--subsong", number_,
                        "Play subsong N of each song, counted from 1, the main song (default: 1)")
            ->type_name("N")
            ->check(numberIn(1, 256));
    CLI::Option* all = command.add_flag("--all-subsongs", all_, allHelp);
    one->excludes(all);
}

std::string SubsongChoice::problem(uint32_t count) const {
    if (first() < count)
        return "";
    return "has no subsong " + std::to_string(number_) + " (it holds " + std::to_string(count) +
           ")";
}

} // namespace tolva::cli
