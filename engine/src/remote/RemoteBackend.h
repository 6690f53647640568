// The remote server (server type 2): a PostgreSQL server that several workstations share. The
// data path names a data set on the server (see RemoteCatalog.h); the connection finds the
// server through libpq's own environment and service file.
#pragma once

#include "../Backend.h"

namespace dbeng {

class RemoteBackend final : public Backend {
public:
    uint16_t serverType() const override;
    std::unique_ptr<Connection> connect(const std::string &path, const std::string &user,
                                        const std::string &password, uint32_t options) override;
};

} // namespace dbeng
