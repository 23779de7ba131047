// Systems other than Windows have no HTTP client here: the check is not made.
#include "app/update/UpdateCheck.h"

namespace Update {

std::unique_ptr<IHttpSession> MakeSystemSession()
{
    return nullptr;
}

}  // namespace Update
