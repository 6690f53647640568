#include "PendingChange.h"

#include "DbException.h"
#include "FieldCodec.h"
#include "dbeng.h"

#include <cstring>

namespace dbeng {

void PendingChange::requireWritable() const {
    if (!readOnly_)
        return;
    throw DbException(DBE_READONLY,
                      readOnlyText_.empty()
                          ? "Die Tabelle " + quoteFile(pdef_->path) + " ist nur zum Lesen geöffnet."
                          : readOnlyText_);
}

void PendingChange::requireNoPending(const char *what) const {
    if (pending_)
        throw DbException(DBE_UPDATE_PENDING,
                          std::string("Tabelle ") + quoteFile(pdef_->path) + ": " + what +
                              " ist nicht möglich, solange eine Änderung offen ist "
                              "(erst speichern oder verwerfen).");
}

void PendingChange::startAppend() {
    requireNoPending("Anfügen");
    pendingImage_.assign(pdef_->recordLength, 0);
    nullRecord(*pdef_, pendingImage_.data());
    changed_.assign(pdef_->fields.size(), 0);
    pendingBlobs_.clear();
    pending_ = true;
    pendingNew_ = true;
}

void PendingChange::startEdit(const std::vector<uint8_t> &stored) {
    pendingImage_ = stored;
    changed_.assign(pdef_->fields.size(), 0);
    pendingBlobs_.clear();
    pending_ = true;
    pendingNew_ = false;
}

void PendingChange::changeField(int field, const uint8_t *image) {
    const FieldDef &f = pdef_->fields[field];
    const uint32_t size = imageSize(f.type, f.length);
    uint8_t *dst = pendingImage_.data() + f.offset;
    if (std::memcmp(dst, image, size) == 0)
        return;
    if (isBlobType(f.type))
        throw DbException(DBE_INVALID_FIELD_TYPE,
                          "Das Memofeld \"" + f.name + "\" der Tabelle " + quoteFile(pdef_->path) +
                              " wird mit DbSetBinary oder als Text gesetzt, nicht roh.");
    if (f.type == DB_TYPE_AUTOINC && !pendingNew_)
        throw DbException(DBE_INVALID_FIELD_TYPE, "Das Autoinkrement-Feld \"" + f.name +
                                                      "\" der Tabelle " + quoteFile(pdef_->path) +
                                                      " kann nicht geändert werden.");
    std::memcpy(dst, image, size);
    changed_[field] = 1;
}

void PendingChange::changeBlob(int field, const std::string *value) {
    const FieldDef &f = pdef_->fields[field];
    std::optional<std::string> v;
    if (value && !value->empty())
        v = *value;
    uint8_t *dst = pendingImage_.data() + f.offset;
    writeUInt32(dst, v ? static_cast<uint32_t>(field + 1) : 0);
    writeUInt32(dst + 4, v ? static_cast<uint32_t>(v->size()) : 0);
    pendingBlobs_[field] = std::move(v);
    changed_[field] = 1;
}

void PendingChange::cancelChange() {
    if (!pending_)
        throw DbException(DBE_NO_UPDATE_PENDING, "In der Tabelle " + quoteFile(pdef_->path) +
                                                     " ist keine Änderung offen.");
    endChange();
}

bool PendingChange::pendingBlobLength(int field, uint32_t &length) const {
    auto it = pendingBlobs_.find(field);
    if (it != pendingBlobs_.end()) {
        length = it->second ? static_cast<uint32_t>(it->second->size()) : 0;
        return true;
    }
    length = 0;
    return pendingNew_;
}

bool PendingChange::pendingBlob(int field, std::string &value) const {
    auto it = pendingBlobs_.find(field);
    if (it != pendingBlobs_.end()) {
        value = it->second ? *it->second : std::string();
        return true;
    }
    value.clear();
    return pendingNew_;
}

const std::string *PendingChange::givenBlob(int field) const {
    auto it = pendingBlobs_.find(field);
    return it != pendingBlobs_.end() && it->second ? &*it->second : nullptr;
}

} // namespace dbeng
