// The backends of this build, by server type.
#include "Backend.h"
#include "dbeng.h"
#include "local/LocalBackend.h"
#include "remote/RemoteBackend.h"

namespace dbeng {

Backend *backendFor(uint16_t serverType) {
    static LocalBackend local;
    static RemoteBackend remote;
    if (serverType == DB_SERVER_LOCAL)
        return &local;
    if (serverType == DB_SERVER_REMOTE)
        return &remote;
    return nullptr;
}

} // namespace dbeng
