// What the tables of both servers do alike behind the Table interface: moving the cursor
// (BatchCursor), reading the current record and the pending change (PendingChange). A server's
// table adds how it changes the order, finds and reads records, locks and writes.
#pragma once

#include "Backend.h"
#include "BatchCursor.h"
#include "DbException.h"
#include "PendingChange.h"

#include <cstring>
#include <memory>
#include <utility>

namespace dbeng {

template <class Value>
class ServerTable : public Table, protected BatchCursor<Value>, protected PendingChange {
protected:
    using Pos = typename BatchCursor<Value>::Pos;
    using Condition = typename BatchCursor<Value>::Condition;

public:
    bool readOnly() const override { return readOnly_; }

    void gotoBOF(int order) override {
        checkOrder(order);
        requireNoPending("Positionieren");
        if (order != this->order_)
            switchOrder(order);
        this->toBOF();
    }
    void gotoTop(int order) override {
        gotoBOF(order);
        this->skipOne(1);
    }
    void gotoBottom(int order) override {
        gotoBOF(order);
        this->pos_ = Pos::Eof;
        this->skipOne(-1);
    }
    void skip(int order, int32_t count) override {
        checkOrder(order);
        requireNoPending("Blättern");
        if (order != this->order_)
            switchOrder(order);
        this->skipBy(count);
    }
    bool atEOF() const override { return this->pos_ == Pos::Eof; }
    bool atBOF() const override { return this->pos_ == Pos::Bof; }
    bool isVisible() override {
        this->requireCurrent();
        return this->visible_;
    }
    uint32_t recordNumber() override {
        this->requireCurrent();
        return this->recno_;
    }
    uint32_t bookmark() override {
        if (this->pos_ != Pos::On)
            this->noCurrent();
        return this->recno_;
    }

    // Keeps the order; the record is found whether or not it passes the filters (visibility
    // says that).
    void gotoRecord(uint32_t recno) override {
        requireNoPending("Positionieren");
        const Condition c = recordCondition(recno);
        Condition &filterSql = this->filterSql_;
        Condition saved = std::move(filterSql);
        filterSql = Condition();
        bool found;
        try {
            found = positionWhere(c, false, true);
        } catch (...) {
            filterSql = std::move(saved);
            throw;
        }
        filterSql = std::move(saved);
        if (!found) {
            this->pos_ = Pos::Eof;
            this->deleted_ = false;
            throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + std::to_string(recno) +
                                                        " der Tabelle " + quoteFile(pdef_->path) +
                                                        " existiert nicht (mehr).");
        }
        if (!filterSql.sql.empty())
            this->visible_ = this->checkVisible(recno);
    }

    // A seek leaves the current record behind, so its place in the seek's order is not looked
    // up. One that stays finds the key or leaves the cursor as it stood, in its order, with the
    // key and the row it had read: going back costs nothing.
    bool seek(int order, const std::vector<KeySegment> &key, const SeekMode &mode) override {
        checkOrder(order);
        requireNoPending("Suchen");
        const bool stay = mode.stay && !mode.soft;
        const int formerOrder = this->order_;
        typename BatchCursor<Value>::Standing before;
        std::vector<Value> formerKey;
        if (stay) {
            before = this->standing();
            formerKey = this->key_;
        }
        if (order != formerOrder) {
            this->toBOF();
            switchOrder(order);
        }
        if (seekKey(key, mode.soft, mode.withRecord))
            return true;
        if (stay) {
            switchOrder(formerOrder); // off any record now: nothing to look up
            this->key_ = std::move(formerKey);
            this->standAgain(before);
        }
        return false;
    }

    // The pending change's image while there is one, else the stored record's.
    void readField(int field, uint8_t *image) override {
        ++this->fieldReads_[field];
        if (pending_) {
            const FieldDef &f = pdef_->fields[field];
            std::memcpy(image, pendingImage_.data() + f.offset, imageSize(f.type, f.length));
            return;
        }
        this->storedField(field, image);
    }
    void readRecord(uint8_t *image) override {
        ++this->recordReads_;
        if (pending_) {
            std::memcpy(image, pendingImage_.data(), pdef_->recordLength);
            return;
        }
        this->storedRecord(image);
    }

    void setFilter(int which, std::unique_ptr<Filter> filter) override {
        this->applyFilter(which, std::move(filter));
    }
    const Filter *filter(int which) const override { return this->filters_[which].get(); }

    void append() override {
        requireWritable();
        startAppend();
    }
    bool updatePending() const override { return pending_; }
    void setField(int field, const uint8_t *image) override {
        requireWritable();
        beginEdit();
        changeField(field, image);
    }
    void setBlob(int field, const std::string *value) override {
        beginEdit();
        changeBlob(field, value);
    }
    void cancel() override { cancelChange(); }

protected:
    // The number of orders (0, the record number order, and one per index tag), and the
    // change of the cursor's order (the current record keeps its place in the new one).
    virtual int orderCount() const = 0;
    virtual void switchOrder(int order) = 0;
    // The seek in the current order: on the first record of the key (soft: else on the next
    // greater key); at the end when there is none.
    virtual bool seekKey(const std::vector<KeySegment> &key, bool soft, bool withRecord) = 0;
    // The condition that finds a record by its number.
    virtual Condition recordCondition(uint32_t recno) const = 0;
    // Stands on the first record of the condition in the current order (descending: the last),
    // read from the index alone or with its row; false when there is none.
    virtual bool positionWhere(const Condition &cond, bool descending, bool withRow) = 0;

    void checkOrder(int order) const {
        if (order < 0 || order >= orderCount())
            throw DbException(DBE_INVALID_HANDLE, "Ungültige Sortierung für die Tabelle " +
                                                      quoteFile(pdef_->path) + ".");
    }
    // A change starts from the stored record, not from a read-ahead copy.
    void beginEdit() {
        requireWritable();
        if (pending_)
            return;
        this->requireCurrent();
        this->fetchRow();
        startEdit(this->row_);
    }
};

} // namespace dbeng
