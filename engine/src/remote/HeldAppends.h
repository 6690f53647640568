// The records appended inside a transaction, held back and sent in bulk.
//
// One append at a time costs a round trip and a statement on the server each: a few thousand
// records a second at best and far fewer on a busy machine, where the server's binary COPY takes
// well over a hundred thousand a second (bench/RemoteAppendBench.cpp). Inside a transaction the
// rows are therefore collected per records table and sent as one COPY in the binary format (the
// values in their wire form, as bound parameters travel) when enough have come together, before
// any other statement of the session (PgSession sends them first, so nothing reads past them)
// and at the commit. The caller still learns each record's number and autoincrement values at
// once: they are taken from the sequences in blocks reserved ahead. A block grows from one
// number by doubling, so a transaction leaves at most as many numbers unused as it appended
// (and never more than a block); numbers are never handed out twice.
//
// A row the server refuses (a duplicate key) fails the whole batch, so the transaction fails:
// PgSession rolls it back and every further write and the commit answer the same error.
#pragma once

#include "PgSession.h"
#include "RemoteCatalog.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace dbeng {

class HeldAppends final : public HeldWrites {
public:
    explicit HeldAppends(PgSession &pg) : pg_(pg) {}

    // The next record number of the table.
    int32_t nextRecordNumber(const RemoteTableDef &table);
    // The next number of an autoincrement field's sequence.
    int32_t nextNumber(const std::string &sequence, const std::string &table);
    // A value given for an autoincrement field (imports): the sequence goes on after it, as
    // when the record is written at once.
    void numberGiven(const std::string &sequence, int64_t value, const std::string &table);

    // Holds one row of the table: the values of dbe_recno and of the columns named, in that
    // order (each of its column's type). True when the rows held should go now.
    bool hold(const RemoteTableDef &table, const std::string &columns,
              const std::vector<PgValue> &row);

    void send() override;
    void discard() override;

private:
    struct Block {
        std::vector<int64_t> numbers; // reserved, handed out from at on
        size_t at = 0;
        int64_t given = 0; // the highest value given, not yet told to the sequence
        int64_t grant = 1; // the size of the next block
        std::string table; // for the texts
        int64_t oid = 0;
    };
    struct Batch {
        RemoteTableDef table;
        std::string copy; // the COPY statement
        std::string data;
        std::vector<int64_t> recnos; // of the rows, in their order
    };

    int32_t take(const std::string &sequence, const std::string &table);
    // The record of the batch at which the server's COPY failed, from the failure's context;
    // 0 when it does not say.
    static uint32_t failedRecord(const Batch &batch, const std::string &context);
    void moveSequence(const std::string &sequence, Block &block);

    PgSession &pg_;
    std::map<std::string, Block> blocks_;               // by sequence
    std::map<std::string, std::string> recnoSequences_; // by relation
    std::vector<std::unique_ptr<Batch>> batches_;
};

} // namespace dbeng
