#include "Commands.h"

namespace tolva::cli {

bool Command::resolveSettings(Settings& settings) const {
    std::string reason;
    if (!settings_.consistent(reason)) {
        usageFailure(name(), reason);
        return false;
    }
    if (settings_.resolve(settings, reason))
        return true;
    reportFailure(settings_.file(), reason);
    return false;
}

} // namespace tolva::cli
