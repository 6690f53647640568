#include "LocalTable.h"

#include "../DbException.h"
#include "../FieldCodec.h"
#include "../StoredScalar.h"
#include "../Text1252.h"
#include "StoredValue.h"
#include "TableFile.h"
#include "dbeng.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string_view>
#include <unistd.h>

namespace dbeng {

namespace {

// The largest batches (BatchCursor starts each small after a positioning and doubles it);
// bench/EngineBench.cpp measured the sizes. A batch of keys alone grows further than one that
// also reads fields of the rows: a key costs some 30 bytes and its statement's start (a read
// transaction, a search of the index) weighs on a batch of a few hundred keys, while a row
// costs its record image and its own page reads.
constexpr size_t kMaxRowBatch = 256;
constexpr size_t kMaxKeyBatch = 4096;
// A transaction that appends this many records (and as many as the table had) is a bulk load.
constexpr int64_t kBulkLoad = 10000;

// DUPCHECK_ENGINE_BATCH overrides the largest batch of both kinds, so the benchmark can
// compare sizes.
size_t maxBatch(bool readsRows) {
    static const long chosen = [] {
        const char *v = std::getenv("DUPCHECK_ENGINE_BATCH");
        long n = v ? std::atol(v) : 0;
        return n >= 1 && n <= 65536 ? n : 0;
    }();
    if (chosen > 0)
        return static_cast<size_t>(chosen);
    return readsRows ? kMaxRowBatch : kMaxKeyBatch;
}

void upperFunction(sqlite3_context *ctx, int, sqlite3_value **argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const void *p = sqlite3_value_blob(argv[0]);
    int n = sqlite3_value_bytes(argv[0]);
    std::string s(static_cast<const char *>(p ? p : ""), static_cast<size_t>(n));
    s = upper1252(s);
    sqlite3_result_blob(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

std::string recordText(uint32_t recno) {
    return std::to_string(recno);
}

// What keeps a table that was opened for changes from being changed, for the texts of the
// refused changes.
std::string whyReadOnly(const std::string &path) {
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    if (access(folder.c_str(), W_OK) != 0 && errno == EROFS)
        return "Die Tabelle " + quoteFile(path) +
               " liegt auf einem schreibgeschützten Datenträger; sie kann nur gelesen werden.";
    const bool folderLocked = access(folder.c_str(), W_OK) != 0;
    const bool fileLocked = access(path.c_str(), W_OK) != 0;
    if (folderLocked && fileLocked)
        return "Der Ordner " + quoteFile(folder) + " und die Tabellendatei " + quoteFile(path) +
               " sind schreibgeschützt; die Tabelle kann nur gelesen werden.";
    if (folderLocked)
        return "Der Ordner " + quoteFile(folder) + " der Tabelle " + quoteFile(path) +
               " ist schreibgeschützt; die Tabelle kann nur gelesen werden.";
    if (fileLocked)
        return "Die Tabellendatei " + quoteFile(path) +
               " ist schreibgeschützt; sie kann nur gelesen werden.";
    return "Die Tabelle " + quoteFile(path) + " kann nur gelesen werden.";
}

} // namespace

namespace {

// Whether two key values are equal as a reader of the texts sees them: a string ends at its
// first zero byte, and trailing blanks do not count (stored strings are right-trimmed already,
// so two stored texts without a zero byte are equal only when their bytes are).
std::string_view shownText(std::string_view stored) {
    stored = stored.substr(0, stored.find('\0'));
    while (!stored.empty() && stored.back() == ' ')
        stored.remove_suffix(1);
    return stored;
}

// A key value as the walk of skipToSharedKey keeps it: a text also remembers whether a zero
// byte ends it early.
struct KeyCell {
    SqlValue value;
    bool zero = false;

    void load(sqlite3_value *from) {
        switch (sqlite3_value_type(from)) {
        case SQLITE_NULL:
            value.kind = SqlValue::Null;
            break;
        case SQLITE_INTEGER:
            value.kind = SqlValue::Int;
            value.i = sqlite3_value_int64(from);
            break;
        case SQLITE_FLOAT:
            value.kind = SqlValue::Real;
            value.d = sqlite3_value_double(from);
            break;
        default: {
            value.kind = SqlValue::Blob;
            const void *p = sqlite3_value_blob(from);
            const size_t n = static_cast<size_t>(sqlite3_value_bytes(from));
            value.b.assign(static_cast<const char *>(p ? p : ""), n); // keeps its storage
            zero = n > 0 && std::memchr(p, 0, n) != nullptr;
        }
        }
    }

    void load(const SqlValue &from) {
        value = from;
        zero = from.kind == SqlValue::Blob && from.b.find('\0') != std::string::npos;
    }

    // Whether a value equals this one; for a text, zero tells whether it holds a zero byte.
    bool same(sqlite3_value *other) const {
        switch (sqlite3_value_type(other)) {
        case SQLITE_NULL:
            // An empty text reads like no value.
            return value.kind == SqlValue::Null ||
                   (value.kind == SqlValue::Blob && shownText(value.b).empty());
        case SQLITE_INTEGER:
            return value.kind == SqlValue::Int && value.i == sqlite3_value_int64(other);
        case SQLITE_FLOAT:
            return value.kind == SqlValue::Real && value.d == sqlite3_value_double(other);
        default: {
            const void *p = sqlite3_value_blob(other);
            const std::string_view text(static_cast<const char *>(p ? p : ""),
                                        static_cast<size_t>(sqlite3_value_bytes(other)));
            if (value.kind == SqlValue::Null)
                return shownText(text).empty();
            if (value.kind != SqlValue::Blob)
                return false;
            if (text == std::string_view(value.b))
                return true;
            // Stored texts are right-trimmed: they differ unless a zero byte ends one early.
            if (!zero && text.find('\0') == std::string_view::npos)
                return false;
            return shownText(text) == shownText(value.b);
        }
        }
    }
};

} // namespace

// dbe_shared_key(key columns...) in the WHERE clause of a walk in index order: true for the
// first row whose key equals the key of the row before it (the record the walk started from
// counts as the row before the first), or for the row after `most` rows that are not. The
// statement names the index, so each row is seen once and in its order; only the row the walk
// stops on leaves SQLite, and the others cost little more than the index walk itself.
struct LocalTable::SharedKeyScan {
    std::vector<KeyCell> previous;
    uint32_t visited = 0;
    uint32_t most = 0;
    bool same = false; // the row the walk stopped on repeats the key before it
};

LocalTable::LocalTable(const std::string &path, uint32_t options) {
    readOnly_ = (options & DB_OPEN_READONLY) != 0;
    exclusive_ = (options & DB_OPEN_EXCLUSIVE) != 0;
    def_ = openTableFile(db_, path);
    if (readOnly_) {
        readOnlyText_ = "Die Tabelle " + quoteFile(def_.path) + " ist nur zum Lesen geöffnet.";
    } else if (sqlite3_db_readonly(db_.get(), "main") == 1) {
        // Not asked for: the file or its folder may not be written. It is read as always.
        readOnly_ = true;
        readOnlyOnDisk_ = true;
        readOnlyText_ = whyReadOnly(def_.path);
    }
    locks_.open(def_.path, exclusive_, readOnly_);
    sqlite3_create_function(db_.get(), "dbe_upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                            upperFunction, nullptr, nullptr);
    sharedKeyScan_ = std::make_unique<SharedKeyScan>();
    sqlite3_create_function(db_.get(), "dbe_shared_key", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY,
                            sharedKeyScan_.get(), sharedKeyFunction, nullptr, nullptr);
    if ((options & DB_OPEN_REINDEX) && !readOnly_)
        db_.exec("REINDEX dbe_records", "Neuaufbau der Indizes");
    rowColumns_.clear();
    for (const FieldDef &f : def_.fields) {
        if (!rowColumns_.empty())
            rowColumns_ += ", ";
        rowColumns_ += isBlobType(f.type) ? "length(" + fieldColumn(f) + ")" : fieldColumn(f);
    }
    allFields_.assign(def_.fields.size(), 1);
    noFields_.assign(def_.fields.size(), 0);
    attach(def_, maxBatch(true), maxBatch(false));
    attachChange(def_);
    buildOrders();
}

LocalTable::~LocalTable() = default;

void LocalTable::buildOrders() {
    orders_.clear();
    selects_.clear();
    Order natural;
    natural.asc = "dbe_recno";
    natural.desc = "dbe_recno DESC";
    orders_.push_back(natural);
    for (const IndexDef &ix : def_.indexes) {
        Order o;
        for (int f : ix.fields) {
            const FieldDef &fd = def_.fields[f];
            bool folded = fd.type == DB_TYPE_CISTRING;
            o.columns.push_back(folded ? ciColumn(fd) : fieldColumn(fd));
            o.fields.push_back(f);
            o.folded.push_back(folded);
            o.asc += o.columns.back() + ", ";
            o.desc += o.columns.back() + " DESC, ";
        }
        o.asc += "dbe_recno";
        o.desc += "dbe_recno DESC";
        orders_.push_back(o);
    }
}

bool LocalTable::isKeyField(int field) const {
    const Order &o = orders_[order_];
    for (size_t k = 0; k < o.fields.size(); ++k) {
        if (o.fields[k] == field && !o.folded[k])
            return true;
    }
    return false;
}

void LocalTable::switchOrder(int order) {
    if (order == order_)
        return;
    bool on = pos_ == Pos::On && !deleted_;
    const bool deletedHere =
        pos_ == Pos::On && deleted_ && deletedRecno_ == recno_ && !deletedKeys_.empty();
    clearBatch();
    order_ = order;
    nextBatch_ = kFirstBatch;
    const Order &o = orders_[order];
    if (deletedHere) {
        // The record this handle deleted keeps its place in the new order too, so skipping
        // goes on from its key.
        key_.assign(o.columns.size(), SqlValue());
        for (size_t k = 0; k < o.columns.size(); ++k) {
            for (const auto &[column, value] : deletedKeys_) {
                if (column == o.columns[k])
                    key_[k] = value;
            }
        }
        return;
    }
    if (!on) {
        if (pos_ == Pos::On) // a record deleted by another handle has no place in another order
            pos_ = Pos::Bof;
        key_.clear();
        return;
    }
    key_.assign(o.columns.size(), SqlValue());
    if (o.columns.empty())
        return;
    std::string cols;
    for (const std::string &c : o.columns)
        cols += (cols.empty() ? "" : ", ") + c;
    StatementScope st(db_.cached("SELECT " + cols + " FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno_);
    if (!st->step("Lesen eines Schlüssels")) {
        pos_ = Pos::Bof;
        return;
    }
    for (size_t k = 0; k < o.columns.size(); ++k)
        key_[k].load(st->get(), static_cast<int>(k));
}

void LocalTable::rememberDeletedKeys() {
    deletedKeys_.clear();
    deletedRecno_ = recno_;
    std::vector<std::string> columns;
    for (const Order &o : orders_) {
        for (const std::string &c : o.columns) {
            if (std::find(columns.begin(), columns.end(), c) == columns.end())
                columns.push_back(c);
        }
    }
    if (columns.empty())
        return;
    std::string list;
    for (const std::string &c : columns)
        list += (list.empty() ? "" : ", ") + c;
    StatementScope st(db_.cached("SELECT " + list + " FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno_);
    if (!st->step("Lesen eines Schlüssels"))
        return;
    for (size_t k = 0; k < columns.size(); ++k) {
        SqlValue v;
        v.load(st->get(), static_cast<int>(k));
        deletedKeys_.emplace_back(columns[k], std::move(v));
    }
}

std::vector<LocalTable::Condition> LocalTable::levels(int direction, bool fromEdge) const {
    std::vector<Condition> out;
    if (fromEdge) {
        out.push_back(Condition{"1", {}});
        return out;
    }
    const Order &o = orders_[order_];
    const SqlValue *key = currentKey();
    size_t n = o.columns.size();
    auto prefix = [&](size_t upto, Condition &c) {
        for (size_t j = 0; j < upto; ++j) {
            c.sql += o.columns[j] + " IS ? AND ";
            c.binds.push_back(key[j]);
        }
    };
    // Same key, later record number; then, segment by segment from the last, a greater key
    // under an equal prefix. Each is a plain index range: no row values, which SQLite would
    // position on the first segment only.
    Condition same;
    prefix(n, same);
    same.sql += direction > 0 ? "dbe_recno > ?" : "dbe_recno < ?";
    same.binds.push_back(SqlValue::integer(recno_));
    out.push_back(same);
    for (size_t i = n; i-- > 0;) {
        if (direction > 0) {
            Condition c;
            prefix(i, c);
            if (key[i].kind == SqlValue::Null) {
                c.sql += o.columns[i] + " IS NOT NULL";
            } else {
                c.sql += o.columns[i] + " > ?";
                c.binds.push_back(key[i]);
            }
            out.push_back(c);
        } else if (key[i].kind != SqlValue::Null) {
            Condition c;
            prefix(i, c);
            c.sql += o.columns[i] + " < ?";
            c.binds.push_back(key[i]);
            out.push_back(c);
            Condition nulls;
            prefix(i, nulls);
            nulls.sql += o.columns[i] + " IS NULL";
            out.push_back(nulls);
        }
    }
    return out;
}

const LocalTable::Select &LocalTable::selectFor(const std::vector<char> &wanted) {
    for (const Select &sel : selects_)
        if (sel.order == order_ && sel.wanted == wanted)
            return sel;
    if (selects_.size() >= 8)
        selects_.erase(selects_.begin());
    const Order &o = orders_[order_];
    Select sel;
    sel.order = order_;
    sel.wanted = wanted;
    sel.colOf.assign(def_.fields.size(), -1);
    sel.keyOf.assign(def_.fields.size(), -1);
    sel.sql = "SELECT dbe_recno";
    int next = 1;
    for (size_t k = 0; k < o.columns.size(); ++k) {
        sel.sql += ", " + o.columns[k];
        if (!o.folded[k])
            sel.keyOf[o.fields[k]] = static_cast<int>(k);
        ++next;
    }
    for (size_t f = 0; f < def_.fields.size(); ++f) {
        if (!wanted[f] || sel.keyOf[f] >= 0)
            continue;
        const FieldDef &fd = def_.fields[f];
        sel.sql +=
            ", " + (isBlobType(fd.type) ? "length(" + fieldColumn(fd) + ")" : fieldColumn(fd));
        sel.colOf[f] = next++;
    }
    sel.sql += " FROM dbe_records WHERE ";
    selects_.push_back(std::move(sel));
    return selects_.back();
}

size_t LocalTable::collect(const Condition &cond, bool descending, size_t limit,
                           const std::vector<char> &wanted) {
    const Order &o = orders_[order_];
    size_t nk = o.columns.size();
    const Select &sel = selectFor(wanted);
    const std::vector<int> &colOf = sel.colOf;
    // The fields read besides the key: the key fields' images are made from the key when read.
    std::vector<int> &extra = extraColumns_;
    extra.clear();
    for (size_t f = 0; f < def_.fields.size(); ++f) {
        if (colOf[f] >= 0)
            extra.push_back(static_cast<int>(f));
    }
    std::string sql = sel.sql + cond.sql;
    if (!filterSql_.sql.empty())
        sql += " AND (" + filterSql_.sql + ")";
    sql += " ORDER BY " + (descending ? o.desc : o.asc) + " LIMIT ?";

    StatementScope st(db_.cached(sql));
    int b = 1;
    for (const SqlValue &v : cond.binds)
        st->bind(b++, v);
    for (const SqlValue &v : filterSql_.binds)
        st->bind(b++, v);
    st->bindInt(b, static_cast<int64_t>(limit));

    if (batch_.count == 0) {
        batch_.width = nk;
        batch_.valid.assign(def_.fields.size(), 0);
        for (size_t f = 0; f < def_.fields.size(); ++f)
            batch_.valid[f] = colOf[f] >= 0 || sel.keyOf[f] >= 0;
        batch_.keyOf = sel.keyOf;
        batch_.allValid =
            std::all_of(batch_.valid.begin(), batch_.valid.end(), [](char c) { return c != 0; });
        // A batch of keys alone has no record images.
        batch_.hasImages = !extra.empty() || batch_.allValid;
    }
    const bool images = batch_.hasImages;
    size_t got = 0;
    sqlite3_stmt *s = st->get();
    while (st->step("Lesen von Datensätzen")) {
        size_t i = batch_.count++;
        // Grown, never shrunk: the strings in the keys keep their storage from batch to batch.
        if (batch_.recnos.size() < batch_.count)
            batch_.recnos.resize(batch_.count);
        if (batch_.keys.size() < batch_.count * nk)
            batch_.keys.resize(batch_.count * nk);
        if (images && batch_.images.size() < batch_.count * def_.recordLength)
            batch_.images.resize(batch_.count * def_.recordLength);
        batch_.recnos[i] = sqlite3_column_int64(s, 0);
        for (size_t k = 0; k < nk; ++k)
            batch_.keys[i * nk + k].load(s, static_cast<int>(k + 1));
        if (images) {
            uint8_t *image = batch_.images.data() + i * def_.recordLength;
            for (int f : extra)
                imageFromColumn(def_.fields[f], s, colOf[f], image + def_.fields[f].offset);
        }
        ++got;
    }
    return got;
}

void LocalTable::sharedKeyFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    SharedKeyScan &scan = *static_cast<SharedKeyScan *>(sqlite3_user_data(ctx));
    const size_t n = scan.previous.size();
    ++scan.visited;
    bool same = static_cast<size_t>(argc) == n;
    for (size_t k = 0; k < n && same; ++k)
        same = scan.previous[k].same(argv[k]);
    scan.same = same;
    if (same || scan.visited > scan.most) {
        sqlite3_result_int(ctx, 1);
        return;
    }
    for (size_t k = 0; k < n; ++k)
        scan.previous[k].load(argv[k]);
    sqlite3_result_int(ctx, 0);
}

uint32_t LocalTable::skipToSharedKey(int order, uint32_t most) {
    checkOrder(order);
    requireNoPending("Blättern");
    switchOrder(order);
    const Order &o = orders_[order];
    const size_t n = o.columns.size();
    // With a filter the function would see rows the filter drops, as SQLite orders the terms
    // of a WHERE clause as it likes; during a bulk load the index may be dropped. Passing no
    // record is always right.
    if (n == 0 || pos_ != Pos::On || deleted_ || most == 0 || !filterSql_.sql.empty() ||
        !bulkDropped_.empty()) {
        skip(order, 1);
        return 0;
    }
    // The next record may be read ahead already (the second of a run that the last walk found).
    if (inBatch_ && bpos_ + 1 < batch_.count) {
        const SqlValue *here = currentKey();
        const SqlValue *next = here + n;
        bool same = true;
        for (size_t k = 0; k < n && same; ++k)
            same = here[k] == next[k];
        if (same) {
            skipOne(1);
            return 0;
        }
    }
    // The walk, the search for the first of a run and the rows of the run's first records
    // read one state of the file.
    ReadTransaction reading(db_);
    SharedKeyScan &scan = *sharedKeyScan_;
    const SqlValue *start = currentKey();
    scan.previous.resize(n);
    for (size_t k = 0; k < n; ++k)
        scan.previous[k].load(start[k]);
    scan.visited = 0;
    scan.most = most;
    // The records passed count as moved over without a field read: the next batches read
    // fields with the keys only when the caller reads them on many of the records it walks.
    struct CountPassed {
        uint32_t &consumed;
        const uint32_t &visited;
        ~CountPassed() { consumed += visited; }
    } countPassed{consumed_, scan.visited};
    const std::string index = sqlIndexName(def_.indexes[static_cast<size_t>(order) - 1].name);
    std::string columns;
    for (const std::string &c : o.columns)
        columns += (columns.empty() ? "" : ", ") + c;
    const std::string head =
        "SELECT dbe_recno, " + columns + " FROM dbe_records INDEXED BY " + index + " WHERE ";
    const std::string tail = " AND dbe_shared_key(" + columns + ") ORDER BY " + o.asc + " LIMIT 1";
    for (const Condition &cond : levels(1, false)) {
        StatementScope st(db_.cached(head + cond.sql + tail));
        int b = 1;
        for (const SqlValue &v : cond.binds)
            st->bind(b++, v);
        if (!st->step("Lesen von Datensätzen"))
            continue;
        std::vector<SqlValue> key(n);
        for (size_t k = 0; k < n; ++k)
            key[k].load(st->get(), static_cast<int>(k + 1));
        const int64_t found = sqlite3_column_int64(st->get(), 0);
        const uint32_t visited = scan.visited;
        st->reset();
        // A run that begins on the last record the limit lets pass is found all the same: its
        // first record is not passed over.
        if (visited > scan.most && !scan.same) {
            // Stopped after `most` records: on the next one.
            standOn({found}, key, 0, false);
            return scan.most;
        }
        if (visited == 1) {
            // The next record shares the key of the one the walk started from, which stays
            // read ahead before it.
            std::vector<SqlValue> keys(start, start + n);
            keys.insert(keys.end(), key.begin(), key.end());
            standOn({recno_, found}, keys, 1, true);
            return 0;
        }
        // This record repeats the key of the one before it, which begins their run (its own
        // predecessor has another key): the first record with that key. The walk stands on
        // it with the second read ahead; the records between the start and it were passed.
        std::string where;
        for (size_t k = 0; k < n; ++k)
            where += (k ? " AND " : "") + o.columns[k] + " IS ?";
        StatementScope first(db_.cached("SELECT dbe_recno FROM dbe_records INDEXED BY " + index +
                                        " WHERE " + where + " ORDER BY " + o.asc + " LIMIT 1"));
        for (size_t k = 0; k < n; ++k)
            first->bind(static_cast<int>(k + 1), key[k]);
        const int64_t runStart =
            first->step("Lesen von Datensätzen") ? sqlite3_column_int64(first->get(), 0) : found;
        first->reset();
        if (runStart == found) {
            standOn({found}, key, 0, true);
        } else {
            std::vector<SqlValue> keys = key;
            keys.insert(keys.end(), key.begin(), key.end());
            standOn({runStart, found}, keys, 0, true);
        }
        return visited - 2;
    }
    clearBatch();
    toEOF();
    return scan.visited;
}

void LocalTable::standOn(const std::vector<int64_t> &recnos, const std::vector<SqlValue> &keys,
                         size_t at, bool withRows) {
    // A batch of these records: from the index alone, or with their rows (the records of a
    // run, which a caller looking for runs reads next).
    detachBatch();
    const size_t n = orders_[order_].columns.size();
    batch_.count = 0;
    batch_.width = n;
    for (int64_t recno : recnos) {
        const size_t i = batch_.count++;
        if (batch_.recnos.size() < batch_.count)
            batch_.recnos.resize(batch_.count);
        if (batch_.keys.size() < batch_.count * n)
            batch_.keys.resize(batch_.count * n);
        batch_.recnos[i] = recno;
        for (size_t k = 0; k < n; ++k)
            batch_.keys[i * n + k] = keys[i * n + k];
    }
    const Select &sel = selectFor(noFields_);
    batch_.keyOf = sel.keyOf;
    batch_.valid.assign(def_.fields.size(), 0);
    for (size_t f = 0; f < def_.fields.size(); ++f)
        batch_.valid[f] = sel.keyOf[f] >= 0;
    batch_.hasImages = false;
    if (withRows) {
        if (batch_.images.size() < batch_.count * def_.recordLength)
            batch_.images.resize(batch_.count * def_.recordLength);
        StatementScope row(
            db_.cached("SELECT " + rowColumns_ + " FROM dbe_records WHERE dbe_recno = ?"));
        bool all = true;
        for (size_t i = 0; i < batch_.count && all; ++i) {
            row->bindInt(1, batch_.recnos[i]);
            all = row->step("Lesen eines Datensatzes");
            if (all) {
                for (size_t f = 0; f < def_.fields.size(); ++f)
                    imageFromColumn(def_.fields[f], row->get(), static_cast<int>(f),
                                    batch_.images.data() + i * def_.recordLength +
                                        def_.fields[f].offset);
            }
            row->reset();
        }
        if (all) {
            batch_.hasImages = true;
            batch_.valid.assign(def_.fields.size(), 1);
        }
    }
    batch_.allValid =
        std::all_of(batch_.valid.begin(), batch_.valid.end(), [](char c) { return c != 0; });
    nextBatch_ = kFirstBatch;
    moveTo(at);
}

bool LocalTable::positionWhere(const Condition &cond, bool descending, bool withRow) {
    beginPositioning();
    if (collect(cond, descending, 1, withRow ? allFields_ : noFields_) == 0)
        return false;
    standOnFirst();
    return true;
}

LocalTable::Condition LocalTable::recordCondition(uint32_t recno) const {
    return Condition{"dbe_recno = ?", {SqlValue::integer(recno)}};
}

bool LocalTable::checkVisible(uint32_t recno) {
    if (filterSql_.sql.empty())
        return true;
    StatementScope st(
        db_.cached("SELECT 1 FROM dbe_records WHERE dbe_recno = ? AND (" + filterSql_.sql + ")"));
    st->bindInt(1, recno);
    int b = 2;
    for (const SqlValue &v : filterSql_.binds)
        st->bind(b++, v);
    return st->step("Prüfen des Filters");
}

uint32_t LocalTable::recordCount(int order, bool respectFilters) {
    checkOrder(order);
    std::string sql = "SELECT count(*) FROM dbe_records";
    if (respectFilters && !filterSql_.sql.empty())
        sql += " WHERE " + filterSql_.sql;
    StatementScope st(db_.cached(sql));
    if (respectFilters) {
        int b = 1;
        for (const SqlValue &v : filterSql_.binds)
            st->bind(b++, v);
    }
    st->step("Zählen der Datensätze");
    return static_cast<uint32_t>(sqlite3_column_int64(st->get(), 0));
}

void LocalTable::fetchRow() {
    StatementScope st(
        db_.cached("SELECT " + rowColumns_ + " FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno_);
    if (!st->step("Lesen eines Datensatzes")) {
        st->reset();
        vanished();
    }
    for (size_t f = 0; f < def_.fields.size(); ++f)
        imageFromColumn(def_.fields[f], st->get(), static_cast<int>(f),
                        row_.data() + def_.fields[f].offset);
    rowValid_ = true;
}

uint32_t LocalTable::blobLength(int field) {
    uint32_t given = 0;
    if (pending_) {
        if (pendingBlobLength(field, given))
            return given;
    } else if (pos_ != Pos::On || deleted_) {
        noCurrent();
    }
    StatementScope st(db_.cached("SELECT length(" + fieldColumn(def_.fields[field]) +
                                 ") FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno_);
    if (!st->step("Lesen eines Memos")) {
        st->reset();
        vanished();
    }
    return static_cast<uint32_t>(sqlite3_column_int64(st->get(), 0));
}

std::string LocalTable::readBlob(int field) {
    std::string given;
    if (pending_) {
        if (pendingBlob(field, given))
            return given;
    } else {
        // The row's image holds the memo's length: an empty memo (the usual one) needs no
        // statement of its own, and a walk that reads memos gets their lengths read ahead.
        uint8_t image[8];
        readField(field, image);
        if (readUInt32(image + 4) == 0)
            return std::string();
    }
    StatementScope st(db_.cached("SELECT " + fieldColumn(def_.fields[field]) +
                                 " FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno_);
    if (!st->step("Lesen eines Memos")) {
        st->reset();
        vanished();
    }
    const void *p = sqlite3_column_blob(st->get(), 0);
    return std::string(static_cast<const char *>(p ? p : ""),
                       static_cast<size_t>(sqlite3_column_bytes(st->get(), 0)));
}

SqlValue LocalTable::keyValue(const FieldDef &field, const std::vector<uint8_t> &image,
                              bool prefix) const {
    SqlValue v;
    if (prefix) {
        std::string p(reinterpret_cast<const char *>(image.data()), image.size());
        while (!p.empty() && (p.back() == ' ' || p.back() == 0))
            p.pop_back();
        v = p.empty() ? SqlValue::null() : SqlValue::blob(p);
    } else {
        std::vector<uint8_t> full(image);
        full.resize(imageSize(field.type, field.length), 0);
        v = storedValue(field, full.data());
    }
    return field.type == DB_TYPE_CISTRING ? foldedValue(v) : v;
}

bool LocalTable::seekKey(const std::vector<KeySegment> &key, bool soft, bool withRecord) {
    const Order &o = orders_[order_];
    size_t m = std::min(key.size(), o.columns.size());
    struct Seg {
        SqlValue value;
        SqlValue end; // for a prefix: the first value past it (Null when there is none)
        bool prefix;
        bool any; // an empty prefix matches everything
    };
    std::vector<Seg> segs;
    for (size_t k = 0; k < m; ++k) {
        const FieldDef &f = def_.fields[o.fields[k]];
        Seg s;
        s.prefix = key[k].prefix;
        s.value = keyValue(f, key[k].image, s.prefix);
        s.any = s.prefix && s.value.kind == SqlValue::Null;
        if (s.prefix && !s.any) {
            std::string e = prefixEnd(s.value.b);
            if (!e.empty())
                s.end = SqlValue::blob(e);
        }
        segs.push_back(std::move(s));
    }
    auto equal = [&](size_t k, Condition &c) {
        const Seg &s = segs[k];
        if (s.any)
            return;
        if (!s.prefix) {
            c.sql += " AND " + o.columns[k] + " IS ?";
            c.binds.push_back(s.value);
            return;
        }
        c.sql += " AND " + o.columns[k] + " >= ?";
        c.binds.push_back(s.value);
        if (s.end.kind != SqlValue::Null) {
            c.sql += " AND " + o.columns[k] + " < ?";
            c.binds.push_back(s.end);
        }
    };
    Condition exact{"1", {}};
    for (size_t k = 0; k < m; ++k)
        equal(k, exact);
    nextBatch_ = kFirstBatch;
    // Positioned from the index alone unless the caller reads the record next: a lookup often
    // only asks whether the key exists; the row is read (afresh) when a field is.
    if (positionWhere(exact, false, withRecord))
        return true;
    if (soft) {
        // The first record after the key: a greater last segment under an equal prefix, then
        // shorter prefixes.
        for (size_t i = m; i-- > 0;) {
            const Seg &s = segs[i];
            Condition c{"1", {}};
            for (size_t j = 0; j < i; ++j)
                equal(j, c);
            if (s.any)
                continue;
            if (s.prefix) {
                if (s.end.kind == SqlValue::Null)
                    continue;
                c.sql += " AND " + o.columns[i] + " >= ?";
                c.binds.push_back(s.end);
            } else if (s.value.kind == SqlValue::Null) {
                c.sql += " AND " + o.columns[i] + " IS NOT NULL";
            } else {
                c.sql += " AND " + o.columns[i] + " > ?";
                c.binds.push_back(s.value);
            }
            if (positionWhere(c, false, false))
                return false;
        }
    }
    toEOF();
    return false;
}

LocalTable::Condition LocalTable::filterCondition(const Filter &filter) const {
    Condition c;
    for (const FilterTerm &t : filter.terms) {
        const FieldDef &f = def_.fields[t.field];
        bool ci = f.type == DB_TYPE_CISTRING;
        std::string col = fieldColumn(f);
        if (ci)
            col = ciColumn(f);
        else if (t.upper)
            col = "dbe_upper(" + col + ")";
        std::string term;
        switch (t.kind) {
        case FilterTerm::Empty:
            term = (f.type == DB_TYPE_DOUBLE || f.type == DB_TYPE_CURDOUBLE)
                       ? "coalesce(" + col + ", 0) = 0"
                       : col + " IS NULL";
            break;
        case FilterTerm::IsTrue:
            term = col + " = 1";
            break;
        case FilterTerm::IsFalse:
            term = "coalesce(" + col + ", 0) = 0";
            break;
        case FilterTerm::Equals:
            if (isStringType(f.type) || isBlobType(f.type)) {
                std::string text = ci ? upper1252(t.text) : t.text;
                bool trims = isStringType(f.type);
                if (!t.prefix) {
                    if (trims)
                        while (!text.empty() && (text.back() == ' ' || text.back() == 0))
                            text.pop_back();
                    if (text.empty()) {
                        term = col + " IS NULL";
                    } else {
                        term = col + " = ?";
                        c.binds.push_back(SqlValue::blob(text));
                    }
                } else if (text.empty()) {
                    term = "1";
                } else {
                    std::string head = text;
                    if (trims)
                        while (!head.empty() && head.back() == ' ')
                            head.pop_back();
                    size_t blanks = text.size() - head.size();
                    if (head.empty()) {
                        term = "(" + col + " IS NULL OR substr(" + col + ", 1, ?) = ?)";
                        c.binds.push_back(SqlValue::integer(static_cast<int64_t>(blanks)));
                        c.binds.push_back(SqlValue::blob(std::string(blanks, ' ')));
                    } else {
                        // Begins with the text; blanks at its end also match the padding of a
                        // value that ends there.
                        term = "(substr(" + col + ", 1, ?) = ?";
                        c.binds.push_back(SqlValue::integer(static_cast<int64_t>(head.size())));
                        c.binds.push_back(SqlValue::blob(head));
                        if (blanks) {
                            term +=
                                " AND (length(" + col + ") = ? OR substr(" + col + ", ?, ?) = ?)";
                            c.binds.push_back(SqlValue::integer(static_cast<int64_t>(head.size())));
                            c.binds.push_back(
                                SqlValue::integer(static_cast<int64_t>(head.size() + 1)));
                            c.binds.push_back(SqlValue::integer(static_cast<int64_t>(blanks)));
                            c.binds.push_back(SqlValue::blob(std::string(blanks, ' ')));
                        }
                        term += ")";
                    }
                }
            } else {
                term = col + " IS ?";
                c.binds.push_back(storedValue(f, t.image.data()));
            }
            break;
        }
        c.sql += (c.sql.empty() ? "" : " AND ") + term;
    }
    return c;
}

bool LocalTable::evaluate(const Filter &filter) {
    requireCurrent();
    Condition c = filterCondition(filter);
    StatementScope st(db_.cached("SELECT (" + c.sql + ") FROM dbe_records WHERE dbe_recno = ?"));
    int b = 1;
    for (const SqlValue &v : c.binds)
        st->bind(b++, v);
    st->bindInt(b, recno_);
    if (!st->step("Auswerten eines Ausdrucks")) {
        st->reset();
        vanished();
    }
    return sqlite3_column_int(st->get(), 0) != 0;
}

void LocalTable::lock(uint32_t recno) {
    // A lock announces a change, and none can be made here.
    if (readOnlyOnDisk_)
        requireWritable();
    bool current = recno == 0;
    if (current) {
        requireCurrent();
        recno = recno_;
    }
    bool had = locks_.heldHere(recno);
    if (!locks_.tryLock(recno))
        throw DbException(DBE_RECORD_LOCKED, "Der Datensatz " + recordText(recno) +
                                                 " der Tabelle " + quoteFile(def_.path) +
                                                 " ist von einem anderen Benutzer gesperrt.");
    StatementScope st(db_.cached("SELECT 1 FROM dbe_records WHERE dbe_recno = ?"));
    st->bindInt(1, recno);
    if (!st->step("Sperren eines Datensatzes")) {
        if (!had)
            locks_.unlock(recno);
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno) +
                                                    " der Tabelle " + quoteFile(def_.path) +
                                                    " existiert nicht (mehr).");
    }
    if (pos_ == Pos::On && !deleted_ && recno == recno_ && !pending_) {
        // From now on nobody else changes it: read the stored record afresh.
        rereadCurrent();
    }
}

void LocalTable::unlock(uint32_t recno) {
    if (recno == 0) {
        if (pos_ != Pos::On)
            noCurrent();
        recno = recno_;
    }
    locks_.unlock(recno);
}

bool LocalTable::isLocked(uint32_t recno) {
    if (recno == 0) {
        requireCurrent();
        recno = recno_;
    }
    return locks_.heldHere(recno) || locks_.heldElsewhere(recno);
}

// In a transaction of the caller a write is one statement (an autoincrement counter waits
// for the commit), and SQLite takes back a statement that fails by itself: the other writes of
// the transaction stay. Otherwise every write is its own transaction.
void LocalTable::beginWrite() {
    if (explicitTransaction_)
        return;
    StatementScope begin(db_.cached("BEGIN IMMEDIATE"));
    begin->step("Beginnen einer Änderung");
}

void LocalTable::endWrite(bool ok) {
    if (explicitTransaction_)
        return;
    if (ok) {
        StatementScope commit(db_.cached("COMMIT"));
        commit->step("Speichern einer Änderung");
        return;
    }
    sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void LocalTable::writeFailed(int rc, const char *what) {
    int ext = sqlite3_extended_errcode(db_.get());
    if (ext == SQLITE_CONSTRAINT_UNIQUE || ext == SQLITE_CONSTRAINT_PRIMARYKEY) {
        std::string msg = sqlite3_errmsg(db_.get());
        std::string tag;
        for (const IndexDef &ix : def_.indexes) {
            if (!ix.unique)
                continue;
            std::string cols;
            for (int f : ix.fields) {
                const FieldDef &fd = def_.fields[f];
                cols += std::string(cols.empty() ? "" : ", ") + "dbe_records." +
                        (fd.type == DB_TYPE_CISTRING ? "dbe_ci_" + fd.name : fd.name);
            }
            if (msg.find(cols) != std::string::npos && (tag.empty() || cols.size() > tag.size()))
                tag = ix.name;
        }
        throw DbException(
            DBE_DUPLICATE_KEY,
            "Der Datensatz kann in der Tabelle " + quoteFile(def_.path) +
                " nicht gespeichert werden: sein Schlüssel ist im eindeutigen Index \"" + tag +
                "\" schon vorhanden.");
    }
    db_.fail(what, rc);
}

void LocalTable::acquireWriteLock(uint32_t recno, bool &temporary) {
    temporary = false;
    if (locks_.heldHere(recno))
        return;
    if (!locks_.tryLock(recno))
        throw DbException(DBE_RECORD_LOCKED, "Der Datensatz " + recordText(recno) +
                                                 " der Tabelle " + quoteFile(def_.path) +
                                                 " ist von einem anderen Benutzer gesperrt.");
    temporary = true;
}

void LocalTable::inWriteTransaction(bool lockCurrent, const std::function<void()> &body) {
    // The current record's lock for the duration of the write (unless this handle holds it),
    // and one transaction around the body.
    bool temporary = false;
    const uint32_t recno = recno_;
    if (lockCurrent)
        acquireWriteLock(recno, temporary);
    try {
        beginWrite();
        try {
            body();
            endWrite(true);
        } catch (...) {
            endWrite(false);
            throw;
        }
    } catch (...) {
        if (temporary)
            locks_.unlock(recno);
        throw;
    }
    if (temporary)
        locks_.unlock(recno);
}

int64_t LocalTable::lastAutoincrement(const FieldDef &field) {
    // Numbers are never handed out twice, also not after the highest record was deleted. In a
    // transaction of the caller the counter is kept here and stored with the commit.
    if (explicitTransaction_) {
        auto held = counters_.find(field.name);
        if (held != counters_.end())
            return held->second;
    }
    int64_t last = 0;
    StatementScope get(db_.cached("SELECT value FROM dbe_meta WHERE key = ?"));
    get->bindBlob(1, "autoinc." + field.name);
    if (get->step("Lesen des Zählers"))
        last = sqlite3_column_int64(get->get(), 0);
    if (explicitTransaction_)
        counters_[field.name] = last;
    return last;
}

void LocalTable::noteAutoincrement(const FieldDef &field, int64_t last) {
    if (explicitTransaction_) {
        counters_[field.name] = last;
        return;
    }
    storeCounter(field.name, last);
}

void LocalTable::storeCounter(const std::string &field, int64_t last) {
    StatementScope put(db_.cached("INSERT OR REPLACE INTO dbe_meta(key, value) VALUES(?, ?)"));
    put->bindBlob(1, "autoinc." + field);
    put->bindInt(2, last);
    put->step("Schreiben des Zählers");
}

void LocalTable::insertPending(int64_t &recno) {
    if (insertSql_.empty()) {
        std::string cols, marks;
        for (const FieldDef &f : def_.fields) {
            cols += (cols.empty() ? "" : ", ") + fieldColumn(f);
            marks += marks.empty() ? "?" : ", ?";
            if (f.type == DB_TYPE_CISTRING) {
                cols += ", " + ciColumn(f);
                marks += ", ?";
            }
        }
        insertSql_ = "INSERT INTO dbe_records(" + cols + ") VALUES(" + marks + ")";
    }
    std::vector<SqlValue> &values = insertValues_;
    values.clear();
    std::vector<std::pair<const FieldDef *, int64_t>> counted;
    for (size_t i = 0; i < def_.fields.size(); ++i) {
        const FieldDef &f = def_.fields[i];
        const uint8_t *image = pendingImage_.data() + f.offset;
        SqlValue v;
        if (isBlobType(f.type)) {
            if (const std::string *given = givenBlob(static_cast<int>(i)))
                v = SqlValue::blob(*given);
        } else if (f.type == DB_TYPE_AUTOINC) {
            const int64_t last = lastAutoincrement(f);
            int64_t value = last + 1;
            if (!isNullImage(f, image))
                value = readInt32(image);
            else if (value > INT32_MAX)
                throw DbException(DBE_VALUE_INVALID, "Der Autoinkrement-Zähler des Feldes \"" +
                                                         f.name + "\" in " + quoteFile(def_.path) +
                                                         " ist erschöpft.");
            writeInt32(pendingImage_.data() + f.offset, static_cast<int32_t>(value));
            counted.emplace_back(&f, std::max(last, value));
            v = SqlValue::integer(value);
        } else {
            v = storedValue(f, image);
        }
        if (f.type == DB_TYPE_CISTRING) {
            values.push_back(v);
            values.push_back(foldedValue(v));
        } else {
            values.push_back(std::move(v));
        }
    }
    {
        StatementScope st(db_.cached(insertSql_));
        for (size_t i = 0; i < values.size(); ++i)
            st->bind(static_cast<int>(i + 1), values[i]);
        int rc = sqlite3_step(st->get());
        if (rc != SQLITE_DONE) {
            st->reset();
            writeFailed(rc, "Anfügen eines Datensatzes");
        }
        recno = sqlite3_last_insert_rowid(db_.get());
    }
    for (const auto &[field, last] : counted)
        noteAutoincrement(*field, last);
    if (explicitTransaction_ && ++bulkAppended_ >= bulkThreshold_ && bulkDropped_.empty())
        dropIndexesForBulkLoad();
}

void LocalTable::updatePendingRow() {
    std::string sets;
    std::vector<SqlValue> values;
    for (size_t i = 0; i < def_.fields.size(); ++i) {
        if (!changed_[i])
            continue;
        const FieldDef &f = def_.fields[i];
        SqlValue v;
        if (isBlobType(f.type)) {
            if (const std::string *given = givenBlob(static_cast<int>(i)))
                v = SqlValue::blob(*given);
        } else {
            v = storedValue(f, pendingImage_.data() + f.offset);
        }
        sets += (sets.empty() ? "" : ", ") + fieldColumn(f) + " = ?";
        if (f.type == DB_TYPE_CISTRING) {
            sets += ", " + ciColumn(f) + " = ?";
            values.push_back(v);
            values.push_back(foldedValue(v));
        } else {
            values.push_back(std::move(v));
        }
    }
    if (sets.empty())
        return;
    StatementScope st(db_.cached("UPDATE dbe_records SET " + sets + " WHERE dbe_recno = ?"));
    for (size_t i = 0; i < values.size(); ++i)
        st->bind(static_cast<int>(i + 1), values[i]);
    st->bindInt(static_cast<int>(values.size() + 1), recno_);
    int rc = sqlite3_step(st->get());
    if (rc != SQLITE_DONE) {
        st->reset();
        writeFailed(rc, "Ändern eines Datensatzes");
    }
    if (sqlite3_changes(db_.get()) == 0)
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno_) +
                                                    " der Tabelle " + quoteFile(def_.path) +
                                                    " wurde inzwischen gelöscht.");
}

void LocalTable::write() {
    if (!pending_)
        throw DbException(DBE_NO_UPDATE_PENDING,
                          "In der Tabelle " + quoteFile(def_.path) + " ist keine Änderung offen.");
    requireWritable();
    int64_t recno = recno_;
    inWriteTransaction(!pendingNew_, [&] {
        if (pendingNew_)
            insertPending(recno);
        else
            updatePendingRow();
    });
    endChange();
    // The written record becomes current. Its key in the current order is the one just
    // stored; its fields are read back from the file when they are read (a bulk load reads
    // none, and saves a statement per record).
    const Order &o = orders_[order_];
    std::vector<SqlValue> key;
    for (size_t k = 0; k < o.columns.size(); ++k) {
        const FieldDef &f = def_.fields[o.fields[k]];
        SqlValue v = storedValue(f, pendingImage_.data() + f.offset);
        key.push_back(o.folded[k] ? foldedValue(v) : std::move(v));
    }
    clearBatch();
    pos_ = Pos::On;
    recno_ = static_cast<uint32_t>(recno);
    key_ = std::move(key);
    deleted_ = false;
    rowValid_ = false;
    nextBatch_ = kFirstBatch;
    visible_ = filterSql_.sql.empty() || checkVisible(recno_);
}

void LocalTable::deleteRecord() {
    requireWritable();
    if (pending_ && pendingNew_)
        requireNoPending("Löschen");
    requireCurrent();
    int changes = 0;
    inWriteTransaction(true, [&] {
        rememberDeletedKeys();
        StatementScope st(db_.cached("DELETE FROM dbe_records WHERE dbe_recno = ?"));
        st->bindInt(1, recno_);
        int rc = sqlite3_step(st->get());
        if (rc != SQLITE_DONE) {
            st->reset();
            db_.fail("Löschen eines Datensatzes", rc);
        }
        changes = sqlite3_changes(db_.get());
    });
    endChange();
    uint32_t recno = recno_;
    try {
        vanished();
    } catch (const DbException &) {
        // vanished() reports the missing record; here that is the expected outcome.
    }
    if (changes == 0)
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno) +
                                                    " der Tabelle " + quoteFile(def_.path) +
                                                    " war bereits gelöscht.");
}

int LocalTable::createIndex(const std::string &tag, const std::vector<int> &fields, bool unique) {
    requireWritable();
    requireNoPending("Anlegen eines Index");
    def_.checkNewIndex(tag, fields);
    std::string names;
    for (int f : fields)
        names += (names.empty() ? "" : ";") + def_.fields[f].name;
    db_.exec("BEGIN IMMEDIATE", "Anlegen eines Index");
    try {
        StatementScope check(db_.cached("SELECT 1 FROM dbe_tags WHERE upper(name) = upper(?)"));
        check->bindBlob(1, tag);
        if (check->step("Anlegen eines Index"))
            throw DbException(DBE_INDEX_EXISTS, "Die Tabelle " + quoteFile(def_.path) +
                                                    " hat schon einen Index \"" + tag + "\".");
        check->reset();
        IndexDef made;
        made.name = tag;
        made.fields = fields;
        made.unique = unique;
        const std::string sql = indexSql(made);
        int rc = sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            if ((sqlite3_extended_errcode(db_.get()) & 0xFF) == SQLITE_CONSTRAINT)
                throw DbException(DBE_DUPLICATE_KEY,
                                  "Der eindeutige Index \"" + tag + "\" kann in der Tabelle " +
                                      quoteFile(def_.path) +
                                      " nicht angelegt werden: Schlüssel kommen mehrfach vor.");
            db_.fail("Anlegen eines Index", rc);
        }
        StatementScope ins(db_.cached(
            "INSERT INTO dbe_tags(name, fields, is_unique, sql_index) VALUES(?, ?, ?, ?)"));
        ins->bindBlob(1, tag);
        ins->bindBlob(2, names);
        ins->bindInt(3, unique ? 1 : 0);
        ins->bindBlob(4, "dbe_tag_" + tag);
        ins->step("Anlegen eines Index");
        ins->reset();
        db_.exec("COMMIT", "Anlegen eines Index");
    } catch (...) {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
    IndexDef ix;
    ix.name = tag;
    ix.fields = fields;
    ix.unique = unique;
    def_.indexes.push_back(ix);
    clearBatch();
    buildOrders();
    return static_cast<int>(def_.indexes.size());
}

std::vector<std::string> LocalTable::integrityProblems() {
    requireNoPending("Prüfen");
    // The index tags by their SQLite name, for the findings about them.
    auto tagOf = [&](const std::string &sqlIndex) -> std::string {
        for (const IndexDef &ix : def_.indexes)
            if (sqlIndexName(ix.name) == quoteIdentifier(sqlIndex))
                return ix.name;
        return sqlIndex;
    };
    auto translated = [&](const std::string &finding) {
        // "row 17 missing from index dbe_tag_ID_ART", "wrong # of entries in index dbe_tag_ID",
        // "non-unique entry in index dbe_tag_ID": the common findings about our indexes.
        static const std::string missing = " missing from index ",
                                 wrong = "wrong # of entries in index ",
                                 twice = "non-unique entry in index ";
        size_t at = finding.find(missing);
        if (finding.rfind("row ", 0) == 0 && at != std::string::npos)
            return "Datensatz " + finding.substr(4, at - 4) + " fehlt im Index \"" +
                   tagOf(finding.substr(at + missing.size())) + "\".";
        if (finding.rfind(wrong, 0) == 0)
            return "Der Index \"" + tagOf(finding.substr(wrong.size())) +
                   "\" hat nicht so viele Einträge, wie die Tabelle Datensätze hat.";
        if (finding.rfind(twice, 0) == 0)
            return "Der eindeutige Index \"" + tagOf(finding.substr(twice.size())) +
                   "\" enthält einen Schlüssel mehrfach.";
        return "SQLite: " + finding;
    };
    std::vector<std::string> problems;
    StatementScope st(db_.cached("PRAGMA integrity_check(1000)"));
    while (st->step("Prüfen der Tabelle")) {
        const unsigned char *t = sqlite3_column_text(st->get(), 0);
        const std::string finding = t ? reinterpret_cast<const char *>(t) : "";
        if (finding != "ok")
            problems.push_back(translated(finding));
    }
    return problems;
}

std::string LocalTable::indexSql(const IndexDef &index) const {
    std::string cols;
    for (int f : index.fields) {
        const FieldDef &fd = def_.fields[f];
        cols += (cols.empty() ? "" : ", ") +
                (fd.type == DB_TYPE_CISTRING ? ciColumn(fd) : fieldColumn(fd));
    }
    return std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " +
           sqlIndexName(index.name) + " ON dbe_records(" + cols + ")";
}

void LocalTable::beginTransaction() {
    requireWritable();
    if (explicitTransaction_)
        throw DbException(DBE_INVALID_ARGUMENT, "In der Tabelle " + quoteFile(def_.path) +
                                                    " läuft bereits eine Transaktion.");
    db_.exec("BEGIN IMMEDIATE", "Beginnen einer Transaktion");
    explicitTransaction_ = true;
    counters_.clear();
    bulkDropped_.clear();
    bulkAppended_ = 0;
    // A bulk load: once the transaction has appended as many records as the table had (and at
    // least kBulkLoad), the indexes that need no check of each write are dropped and built
    // again with the commit, from the sorted keys, which is many times faster than inserting
    // every key into every index. The highest record number stands for the table's size.
    StatementScope top(db_.cached("SELECT max(dbe_recno) FROM dbe_records"));
    top->step("Zählen der Datensätze");
    bulkThreshold_ = std::max<int64_t>(kBulkLoad, sqlite3_column_int64(top->get(), 0));
}

void LocalTable::dropIndexesForBulkLoad() {
    // Unique indexes stay: every write is checked against them (a duplicate is refused at its
    // own write), and the keys of a load mostly come in their order.
    for (const IndexDef &ix : def_.indexes) {
        if (ix.unique)
            continue;
        db_.exec("DROP INDEX " + sqlIndexName(ix.name), "Vorbereiten eines Massenimports");
        bulkDropped_.push_back(ix);
    }
    // Walks on these orders still work inside the transaction (SQLite sorts), only slower.
}

void LocalTable::commitTransaction() {
    if (!explicitTransaction_)
        throw DbException(DBE_INVALID_ARGUMENT,
                          "In der Tabelle " + quoteFile(def_.path) + " läuft keine Transaktion.");
    for (const auto &[field, last] : counters_)
        storeCounter(field, last);
    for (const IndexDef &ix : bulkDropped_)
        db_.exec(indexSql(ix), "Aufbauen eines Index");
    db_.exec("COMMIT", "Abschließen einer Transaktion");
    explicitTransaction_ = false;
    counters_.clear();
    bulkDropped_.clear();
}

void LocalTable::closeInsideTransaction() {
    if (updatePending())
        cancelChange();
    // Closing the side file's description ends every record lock of this handle; the table
    // file's connection, and with it the transaction and its write lock, stays.
    locks_.close();
}

void LocalTable::rollbackTransaction() {
    if (!explicitTransaction_)
        throw DbException(DBE_INVALID_ARGUMENT,
                          "In der Tabelle " + quoteFile(def_.path) + " läuft keine Transaktion.");
    explicitTransaction_ = false;
    endChange();
    counters_.clear();
    bulkDropped_.clear();
    db_.exec("ROLLBACK", "Zurücknehmen einer Transaktion");
    // Records read since the transaction began may be gone.
    forgetPosition();
}

} // namespace dbeng
