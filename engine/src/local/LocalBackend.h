// The local server (server type 1): a data path is a folder of table files, or a dictionary
// file whose folder holds them.
#pragma once

#include "../Backend.h"

namespace dbeng {

class LocalBackend final : public Backend {
public:
    uint16_t serverType() const override;
    std::unique_ptr<Connection> connect(const std::string &path, const std::string &user,
                                        const std::string &password, uint32_t options) override;
};

} // namespace dbeng
