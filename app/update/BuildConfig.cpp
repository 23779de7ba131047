#include "app/update/BuildSettings.h"
#include "app/update/UpdateCheck.h"

namespace Update {

Config BuildConfig()
{
    Config config;
    config.endpoint = Build::kEndpoint;
    config.homePage = Build::kHomePage;
    config.programPath = Platform::Current().System().ProgramPath();
    return config;
}

}  // namespace Update
