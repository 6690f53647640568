// The change of a table handle that is not written yet, the same on both servers: a new
// record (append) or a change of the current one, as a record image with the fields set and
// the memo values given. Each server writes it its own way.
#pragma once

#include "TableDef.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace dbeng {

class PendingChange {
protected:
    // The table whose records change; set by the server before the first change.
    void attachChange(const TableDef &def) { pdef_ = &def; }

    // Throw DBE_READONLY on a table opened for reading, DBE_UPDATE_PENDING while a change is
    // open (what: the refused step, "Positionieren" and the like).
    void requireWritable() const;
    void requireNoPending(const char *what) const;

    // A new record, every field empty.
    void startAppend();
    // A change of the stored record.
    void startEdit(const std::vector<uint8_t> &stored);
    // A field of the open change (not a memo); refused for an autoincrement field of a stored
    // record.
    void changeField(int field, const uint8_t *image);
    // A memo value of the open change; nullptr or an empty value make it empty.
    void changeBlob(int field, const std::string *value);
    // Drops the open change; DBE_NO_UPDATE_PENDING when there is none.
    void cancelChange();
    // The change is written or given up.
    void endChange() {
        pending_ = false;
        pendingBlobs_.clear();
    }

    // A memo of the open change, when the change decides it (a value given, or a new record):
    // true and the length or value; false when the stored value counts.
    bool pendingBlobLength(int field, uint32_t &length) const;
    bool pendingBlob(int field, std::string &value) const;
    // The memo value given for the write: nullptr when it is empty or was not given.
    const std::string *givenBlob(int field) const;

    const TableDef *pdef_ = nullptr;
    bool readOnly_ = false;
    std::string readOnlyText_; // why changes are refused; empty: opened for reading
    bool pending_ = false;
    bool pendingNew_ = false;
    std::vector<uint8_t> pendingImage_;
    std::vector<char> changed_; // per field: set in this change
    std::map<int, std::optional<std::string>> pendingBlobs_;
};

} // namespace dbeng
