#include "HeldAppends.h"

#include "dbeng.h"

#include <algorithm>

namespace dbeng {

namespace {

// Rows go out when this many are held for one table, or when their data reaches the byte
// limit (memos can be large): enough that a batch's round trip does not count beside its rows,
// few enough that the held data stays at a few megabytes.
constexpr size_t kBatchRows = 4096;
constexpr size_t kBatchBytes = 8u << 20;
// The largest block of numbers reserved at once: at most this many stay unused when a
// transaction ends.
constexpr int64_t kLargestBlock = 1024;

constexpr const char *kAppending = "Anfügen eines Datensatzes";

void putBigEndian(std::string &out, uint32_t v, int bytes) {
    for (int k = bytes - 1; k >= 0; --k)
        out += static_cast<char>((v >> (8 * k)) & 0xFF);
}

// The binary COPY format: a signature, flags and the length of a header extension (both 0),
// then per row the number of columns and per column its length (-1 for null) and bytes, and
// -1 as the end.
const std::string &copyHeader() {
    static const std::string header = [] {
        std::string h("PGCOPY\n\377\r\n\0", 11);
        putBigEndian(h, 0, 4);
        putBigEndian(h, 0, 4);
        return h;
    }();
    return header;
}

} // namespace

int32_t HeldAppends::nextRecordNumber(const RemoteTableDef &table) {
    auto it = recnoSequences_.find(table.relation);
    if (it == recnoSequences_.end()) {
        PgResult r = pg_.queryAside("SELECT pg_get_serial_sequence($1, 'dbe_recno')",
                                    {PgValue::text(table.relation)}, table.def.path, kAppending);
        it = recnoSequences_.emplace(table.relation, r.bytes(0, 0)).first;
    }
    return take(it->second, table.def.path);
}

int32_t HeldAppends::nextNumber(const std::string &sequence, const std::string &table) {
    return take(sequence, table);
}

int32_t HeldAppends::take(const std::string &sequence, const std::string &table) {
    Block &b = blocks_[sequence];
    b.table = table;
    if (b.at == b.numbers.size()) {
        moveSequence(sequence, b);
        // By the sequence's object id: a name would be looked up again for every number.
        if (b.oid == 0)
            b.oid = pg_.queryAside("SELECT $1::regclass::oid::bigint", {PgValue::text(sequence)},
                                   table, kAppending)
                        .integer(0, 0);
        PgResult r =
            pg_.queryAside("SELECT nextval($1::oid) FROM generate_series(1, $2)",
                           {PgValue::int8(b.oid), PgValue::int4(b.grant)}, table, kAppending);
        b.numbers.resize(static_cast<size_t>(r.rows()));
        for (int k = 0; k < r.rows(); ++k)
            b.numbers[static_cast<size_t>(k)] = r.integer(k, 0);
        b.at = 0;
        b.grant = std::min(kLargestBlock, b.grant * 2);
        if (b.numbers.empty())
            throw DbException(DBE_STORAGE_ERROR, "ERROR 7200: Der Datenbankserver hat für die "
                                                 "Tabelle " +
                                                     quoteFile(table) +
                                                     " keine Nummern vergeben. NativeError = 0;");
    }
    return static_cast<int32_t>(b.numbers[b.at++]);
}

void HeldAppends::numberGiven(const std::string &sequence, int64_t value,
                              const std::string &table) {
    Block &b = blocks_[sequence];
    b.table = table;
    // The numbers reserved up to the value are passed over: after a value given the sequence
    // goes on above it.
    while (b.at < b.numbers.size() && b.numbers[b.at] <= value)
        ++b.at;
    b.given = std::max(b.given, value);
}

void HeldAppends::moveSequence(const std::string &sequence, Block &b) {
    if (b.given == 0)
        return;
    pg_.queryAside("SELECT setval('" + sequence + "', $1) FROM " + sequence +
                       " WHERE $2 > CASE WHEN is_called THEN last_value ELSE 0 END",
                   {PgValue::int8(b.given), PgValue::int8(b.given)}, b.table,
                   "Schreiben des Zählers");
    b.given = 0;
}

bool HeldAppends::hold(const RemoteTableDef &table, const std::string &columns,
                       const std::vector<PgValue> &row) {
    Batch *batch = nullptr;
    for (const auto &b : batches_)
        if (b->table.relation == table.relation)
            batch = b.get();
    if (!batch) {
        batches_.push_back(std::make_unique<Batch>());
        batch = batches_.back().get();
        batch->table = table;
        batch->copy =
            "COPY " + table.relation + " (dbe_recno, " + columns + ") FROM STDIN (FORMAT binary)";
        batch->data = copyHeader();
    }
    std::string &d = batch->data;
    putBigEndian(d, static_cast<uint32_t>(row.size()), 2);
    for (const PgValue &v : row) {
        if (v.isNull()) {
            putBigEndian(d, 0xFFFFFFFFu, 4);
            continue;
        }
        putBigEndian(d, static_cast<uint32_t>(v.wireSize()), 4);
        v.appendWire(d);
    }
    batch->recnos.push_back(row.front().i);
    return batch->recnos.size() >= kBatchRows || d.size() >= kBatchBytes;
}

void HeldAppends::send() {
    if (batches_.empty())
        return;
    for (auto &[sequence, block] : blocks_)
        moveSequence(sequence, block);
    for (const auto &b : batches_) {
        b->data += "\xFF\xFF";
        try {
            pg_.copyIn(b->copy, b->data, b->table.def.path, kAppending);
        } catch (const PgError &e) {
            if (e.code() == DBE_DUPLICATE_KEY)
                throw duplicateKeyError(b->table.def.path, uniqueTagOf(b->table, e.constraint()),
                                        failedRecord(*b, e.context()));
            throw;
        }
    }
    batches_.clear();
}

uint32_t HeldAppends::failedRecord(const Batch &batch, const std::string &context) {
    // The server says "COPY <table>, line <n>" in its language: the row is the number after the
    // table's name (which may hold digits itself), counted from 1 in the order of the data.
    const size_t comma = context.find(", ");
    if (context.rfind("COPY ", 0) != 0 || comma == std::string::npos)
        return 0;
    size_t at = context.find_first_of("0123456789", comma);
    if (at == std::string::npos)
        return 0;
    uint64_t row = 0;
    for (; at < context.size() && context[at] >= '0' && context[at] <= '9'; ++at)
        row = std::min<uint64_t>(row * 10 + static_cast<uint64_t>(context[at] - '0'), 1u << 31);
    if (row < 1 || row > batch.recnos.size())
        return 0;
    return static_cast<uint32_t>(batch.recnos[row - 1]);
}

void HeldAppends::discard() {
    batches_.clear();
    blocks_.clear();
}

} // namespace dbeng
