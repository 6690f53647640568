// The cursor of a table handle and its read-ahead batch, the same on both servers: where the
// cursor stands, the records read ahead around it, moving over them, which fields a walk reads
// (those come with the next batch) and the filters that restrict it. What each server does its own
// way stays with it: finding the records after (or before) the current key, and reading a record
// afresh.
#pragma once

#include "DbException.h"
#include "FieldCodec.h"
#include "FilterExpr.h"
#include "TableDef.h"
#include "dbeng.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dbeng {

// Value is the server's stored value (the local SqlValue, the remote PgValue); a key is one
// Value per segment of the order. imageFromValue(field, value, image) makes a field's image of
// a key segment.
template <class Value>
class BatchCursor {
protected:
    // Where the cursor stands. Skipping moves within the batch while it can and fetches the
    // next batch (from the current key on) when it runs out:
    //
    //              gotoTop, skip(+1)                    skip(+1) on the last record
    //    ┌─────┐ ───────────────────────▶ ┌────┐ ───────────────────────────────▶ ┌─────┐
    //    │ Bof │                          │ On │                                  │ Eof │
    //    └─────┘ ◀─────────────────────── └────┘ ◀─────────────────────────────── └─────┘
    //        skip(-1) on the first record  ↺ skip(±1) within the batch     gotoBottom, skip(-1)
    //                                        or into the next one; seek,
    //                                        gotoRecord, write
    //
    // gotoBOF leads to Bof from anywhere. On a record that was deleted (by this handle, or found
    // missing when read afresh) the cursor is On with deleted_ set: no field can be read, but it
    // keeps the record's place and key, so skipping goes on from there. A seek or gotoRecord that
    // finds nothing leaves Eof.
    enum class Pos { Bof, On, Eof };

    // SQL with "?" for the values bound to it.
    struct Condition {
        std::string sql;
        std::vector<Value> binds;
    };

    // A run of consecutive records in the cursor's order, ascending: their record numbers,
    // their keys and the image bytes of the fields that were read with them.
    struct Batch {
        size_t count = 0;
        size_t width = 0; // key segments per record
        std::vector<int64_t> recnos;
        std::vector<Value> keys;     // count * width
        std::vector<uint8_t> images; // count * record length, when hasImages
        std::vector<char> valid;     // per field: its image can be given
        std::vector<int> keyOf;      // per field: its key segment, whose value makes its image
        bool allValid = false;
        bool hasImages = false; // images holds count record images
    };

    // Batches start small after every positioning (a seek is often followed by a few skips
    // only) and double up to the server's largest size. A field is read with the next batch
    // when the walk read it on at least 1 of kWantRatio records.
    static constexpr size_t kFirstBatch = 16;
    static constexpr uint32_t kWantRatio = 8;

    virtual ~BatchCursor() = default;

    // What the server supplies. levels: the conditions that, one after the other, find the
    // records after the current key in the direction (from the edge of the order when
    // fromEdge); collect: appends at most limit records of one condition to the batch, in the
    // direction's order (descending going backwards), with the wanted fields.
    virtual std::vector<Condition> levels(int direction, bool fromEdge) const = 0;
    virtual size_t collect(const Condition &cond, bool descending, size_t limit,
                           const std::vector<char> &wanted) = 0;
    // Reads the current record afresh into row_ (rowValid_); calls vanished() when it is gone.
    virtual void fetchRow() = 0;
    // A field whose image the current order's key gives (not a case-folded segment).
    virtual bool isKeyField(int field) const = 0;
    // A filter as a condition on the records; whether a record passes the filters in force.
    virtual Condition filterCondition(const Filter &filter) const = 0;
    virtual bool checkVisible(uint32_t recno) = 0;

    // The table whose records these are; set by the server before the first move.
    void attach(const TableDef &def, size_t largestRowBatch, size_t largestKeyBatch) {
        cdef_ = &def;
        largestRowBatch_ = largestRowBatch;
        largestKeyBatch_ = largestKeyBatch;
        const size_t n = def.fields.size();
        wanted_.assign(n, 0);
        fieldReads_.assign(n, 0);
        row_.assign(def.recordLength, 0);
        nextBatch_ = kFirstBatch;
    }

    [[noreturn]] void noCurrent() const {
        std::string where = pos_ == Pos::Bof ? "steht vor dem ersten Datensatz"
                            : pos_ == Pos::Eof
                                ? "steht hinter dem letzten Datensatz"
                                : "steht auf dem gelöschten Datensatz " + std::to_string(recno_);
        throw DbException(DBE_NO_CURRENT_RECORD, "Kein aktueller Datensatz in der Tabelle " +
                                                     quoteFile(cdef_->path) + ": der Zeiger " +
                                                     where + ".");
    }
    void requireCurrent() const {
        if (pos_ != Pos::On || deleted_)
            noCurrent();
    }

    const Value *currentKey() const {
        if (inBatch_ && !deleted_)
            return batch_.keys.data() + bpos_ * batch_.width;
        return key_.data();
    }

    // Leaves the batch: the current record keeps its key (and its row, when the batch has it).
    void detachBatch() {
        if (inBatch_ && !deleted_ && pos_ == Pos::On) {
            const size_t n = batch_.width;
            key_.assign(batch_.keys.begin() + static_cast<long>(bpos_ * n),
                        batch_.keys.begin() + static_cast<long>((bpos_ + 1) * n));
            if (!rowValid_ && batch_.allValid) {
                batchRecord(bpos_, row_.data());
                rowValid_ = true;
            }
        }
        inBatch_ = false;
    }
    void clearBatch() {
        detachBatch();
        batch_.count = 0;
    }
    // The next read of the current record reads it afresh.
    void rereadCurrent() {
        detachBatch();
        rowValid_ = false;
        batch_.count = 0;
    }
    // Before a positioning that reads its record into a new batch.
    void beginPositioning() {
        detachBatch();
        batch_.count = 0;
        inBatch_ = false;
    }
    // Where the cursor stands, to come back to it after a positioning that found nothing: the
    // current record's key and row are kept outside the batch, where a positioning that finds
    // nothing leaves them.
    struct Standing {
        Pos pos = Pos::Bof;
        uint32_t recno = 0;
        bool deleted = false, visible = true, rowValid = false;
    };
    Standing standing() {
        detachBatch();
        return Standing{pos_, recno_, deleted_, visible_, rowValid_};
    }
    void standAgain(const Standing &s) {
        batch_.count = 0;
        inBatch_ = false;
        pos_ = s.pos;
        recno_ = s.recno;
        deleted_ = s.deleted;
        visible_ = s.visible;
        rowValid_ = s.rowValid;
        nextBatch_ = kFirstBatch;
    }
    // After it: on the batch's first record, the next batch small again.
    void standOnFirst() {
        nextBatch_ = kFirstBatch;
        consumed_ = 0;
        moveTo(0);
    }
    void toBOF() {
        clearBatch();
        pos_ = Pos::Bof;
        deleted_ = false;
        rowValid_ = false;
        nextBatch_ = kFirstBatch;
    }
    void toEOF() {
        pos_ = Pos::Eof;
        deleted_ = false;
        rowValid_ = false;
    }
    // which: 0 plain filter, 1 optimised filter. Both restrict every batch; the records read
    // ahead were chosen under the old filters.
    void applyFilter(int which, std::unique_ptr<Filter> filter) {
        filters_[which] = std::move(filter);
        filterSql_ = Condition();
        for (const auto &f : filters_) {
            if (!f)
                continue;
            Condition c = filterCondition(*f);
            if (c.sql.empty())
                continue;
            filterSql_.sql += (filterSql_.sql.empty() ? "" : " AND ") + ("(" + c.sql + ")");
            for (Value &v : c.binds)
                filterSql_.binds.push_back(std::move(v));
        }
        clearBatch();
        nextBatch_ = kFirstBatch;
        if (pos_ == Pos::On && !deleted_)
            visible_ = checkVisible(recno_);
    }

    // What was read may be gone (a rolled back transaction).
    void forgetPosition() {
        batch_.count = 0;
        inBatch_ = false;
        pos_ = Pos::Bof;
        rowValid_ = false;
    }

    void moveTo(size_t index) {
        bpos_ = index;
        inBatch_ = true;
        recno_ = static_cast<uint32_t>(batch_.recnos[index]);
        pos_ = Pos::On;
        deleted_ = false;
        visible_ = true;
        rowValid_ = false;
        ++consumed_;
    }

    void skipOne(int direction) {
        if (pos_ == Pos::On && inBatch_) {
            // After a deletion the next record has moved up into the deleted one's place.
            long target = direction > 0 ? static_cast<long>(deleted_ ? bpos_ : bpos_ + 1)
                                        : static_cast<long>(bpos_) - 1;
            if (target >= 0 && target < static_cast<long>(batch_.count)) {
                moveTo(static_cast<size_t>(target));
                return;
            }
        }
        if ((direction > 0 && pos_ == Pos::Eof) || (direction < 0 && pos_ == Pos::Bof))
            return;
        if (!refill(direction)) {
            pos_ = direction > 0 ? Pos::Eof : Pos::Bof;
            inBatch_ = false;
            deleted_ = false;
            rowValid_ = false;
            return;
        }
        moveTo(direction > 0 ? 0 : batch_.count - 1);
    }

    // skip(order, count) once the order is the current one; 0 reads the record afresh.
    void skipBy(int32_t count) {
        if (count == 0) {
            if (pos_ == Pos::On && !deleted_)
                rereadCurrent();
            return;
        }
        const int direction = count > 0 ? 1 : -1;
        for (int64_t n = count > 0 ? count : -static_cast<int64_t>(count); n > 0; --n) {
            skipOne(direction);
            if (pos_ != Pos::On)
                break;
        }
    }

    // The batch of records after the current one (or from the edge) in the direction.
    bool refill(int direction) {
        const bool fromEdge = pos_ != Pos::On;
        if (!fromEdge)
            detachBatch(); // the key of the current record survives the new batch in key_
        std::vector<Condition> conds = levels(direction, fromEdge);
        const std::vector<FieldDef> &fields = cdef_->fields;
        if (consumed_ >= kWantRatio) {
            for (size_t f = 0; f < fields.size(); ++f)
                wanted_[f] = (fieldReads_[f] + recordReads_) * kWantRatio >= consumed_;
        }
        std::fill(fieldReads_.begin(), fieldReads_.end(), 0);
        recordReads_ = 0;
        consumed_ = 0;
        bool readsRows = false;
        if (largestRowBatch_ != largestKeyBatch_) {
            for (size_t f = 0; f < fields.size() && !readsRows; ++f)
                readsRows = wanted_[f] && !isKeyField(static_cast<int>(f));
        }
        size_t limit = std::min(nextBatch_, readsRows ? largestRowBatch_ : largestKeyBatch_);
        nextBatch_ = std::min(largestKeyBatch_, nextBatch_ * 2);
        batch_.count = 0;
        inBatch_ = false;
        for (const Condition &c : conds) {
            const size_t got = collect(c, direction < 0, limit, wanted_);
            limit -= got;
            if (limit == 0)
                break;
        }
        if (batch_.count == 0)
            return false;
        if (direction < 0) {
            // Collected in descending order; the batch is kept ascending.
            const size_t n = batch_.count, nk = batch_.width, len = cdef_->recordLength;
            std::reverse(batch_.recnos.begin(), batch_.recnos.begin() + static_cast<long>(n));
            for (size_t i = 0; i < n / 2; ++i) {
                const size_t j = n - 1 - i;
                for (size_t k = 0; k < nk; ++k)
                    std::swap(batch_.keys[i * nk + k], batch_.keys[j * nk + k]);
                if (batch_.hasImages)
                    std::swap_ranges(batch_.images.begin() + static_cast<long>(i * len),
                                     batch_.images.begin() + static_cast<long>((i + 1) * len),
                                     batch_.images.begin() + static_cast<long>(j * len));
            }
        }
        return true;
    }

    // The current record is gone (deleted by another handle since it was read ahead, or by
    // this one): the cursor stays at its place, and the record leaves the batch. Throws
    // DBE_NO_CURRENT_RECORD.
    [[noreturn]] void vanished() {
        if (inBatch_ && !deleted_) {
            const size_t nk = batch_.width, len = cdef_->recordLength;
            key_.assign(batch_.keys.begin() + static_cast<long>(bpos_ * nk),
                        batch_.keys.begin() + static_cast<long>((bpos_ + 1) * nk));
            batch_.recnos.erase(batch_.recnos.begin() + static_cast<long>(bpos_));
            batch_.recnos.emplace_back();
            batch_.keys.erase(batch_.keys.begin() + static_cast<long>(bpos_ * nk),
                              batch_.keys.begin() + static_cast<long>((bpos_ + 1) * nk));
            batch_.keys.resize(batch_.recnos.size() * nk);
            if (batch_.hasImages) {
                batch_.images.erase(batch_.images.begin() + static_cast<long>(bpos_ * len),
                                    batch_.images.begin() + static_cast<long>((bpos_ + 1) * len));
                batch_.images.resize(batch_.recnos.size() * len);
            }
            --batch_.count;
        }
        deleted_ = true;
        rowValid_ = false;
        noCurrent();
    }

    // The image of a field (of the whole record) of batch record i.
    void batchField(size_t i, int field, uint8_t *image) const {
        const FieldDef &f = cdef_->fields[field];
        const int k = batch_.keyOf[field];
        if (k >= 0)
            imageFromValue(f, batch_.keys[i * batch_.width + k], image);
        else
            std::memcpy(image, batch_.images.data() + i * cdef_->recordLength + f.offset,
                        imageSize(f.type, f.length));
    }
    void batchRecord(size_t i, uint8_t *image) const {
        if (batch_.hasImages)
            std::memcpy(image, batch_.images.data() + i * cdef_->recordLength, cdef_->recordLength);
        for (size_t f = 0; f < cdef_->fields.size(); ++f) {
            if (batch_.keyOf[f] >= 0)
                batchField(i, static_cast<int>(f), image + cdef_->fields[f].offset);
        }
    }

    // The stored image of a field (of the record) of the current record: from the batch, or
    // from the record read afresh when the batch lacks it.
    void storedField(int field, uint8_t *image) {
        requireCurrent();
        if (!rowValid_ && inBatch_ && batch_.valid[field]) {
            batchField(bpos_, field, image);
            return;
        }
        if (!rowValid_)
            fetchRow();
        const FieldDef &f = cdef_->fields[field];
        std::memcpy(image, row_.data() + f.offset, imageSize(f.type, f.length));
    }
    void storedRecord(uint8_t *image) {
        requireCurrent();
        if (!rowValid_ && inBatch_ && batch_.allValid) {
            batchRecord(bpos_, image);
            return;
        }
        if (!rowValid_)
            fetchRow();
        std::memcpy(image, row_.data(), cdef_->recordLength);
    }

    const TableDef *cdef_ = nullptr;
    size_t largestRowBatch_ = 0; // of a batch that reads fields besides the key
    size_t largestKeyBatch_ = 0; // of a batch of keys alone

    std::unique_ptr<Filter> filters_[2];
    Condition filterSql_; // the filters in force, as one condition

    Pos pos_ = Pos::Bof;
    int order_ = 0;
    uint32_t recno_ = 0;
    std::vector<Value> key_; // the current key when it is not in the batch
    bool deleted_ = false;
    // The key columns of the record this handle deleted, by column name: the cursor keeps that
    // record's place also in an order that takes over after the deletion.
    std::vector<std::pair<std::string, Value>> deletedKeys_;
    uint32_t deletedRecno_ = 0;
    bool visible_ = true;
    Batch batch_;
    bool inBatch_ = false;
    size_t bpos_ = 0;
    std::vector<uint8_t> row_;
    bool rowValid_ = false;

    // Read statistics of the batch being walked: they pick the columns of the next batch.
    std::vector<uint32_t> fieldReads_;
    uint32_t recordReads_ = 0;
    uint32_t consumed_ = 0;
    std::vector<char> wanted_;
    size_t nextBatch_ = kFirstBatch;
};

} // namespace dbeng
