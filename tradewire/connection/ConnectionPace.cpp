#include "connection/ConnectionPace.h"

#include "platform/ModuleLoader.h"

namespace ConnectionPace {

EConnectionPace FromText(std::string_view text) {
    return text == "immediate" ? EConnectionPace::Immediate : EConnectionPace::Paced;
}

EConnectionPace FromEnvironment() {
    return FromText(ModuleLoader::EnvironmentText("TRADEWIRE_PACE"));
}

}  // namespace ConnectionPace
