#include "RemoteTable.h"

#include "../FieldCodec.h"
#include "../StoredScalar.h"
#include "../Text1252.h"
#include "dbeng.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace dbeng {

namespace {

// Each batch is one round trip to the server, so batches grow further than the local
// server's: from 16 after every positioning (a seek is often followed by a few skips only) up
// to 1024 (bench/RemoteBench.cpp measured the sizes). DUPCHECK_ENGINE_BATCH overrides the
// largest size for measuring.
constexpr size_t kDefaultMaxBatch = 1024;

size_t maxBatch() {
    static const size_t size = [] {
        const char *v = std::getenv("DUPCHECK_ENGINE_BATCH");
        long n = v ? std::atol(v) : 0;
        return n >= 1 && n <= 65536 ? static_cast<size_t>(n) : kDefaultMaxBatch;
    }();
    return size;
}

std::string recordText(uint32_t recno) {
    return std::to_string(recno);
}

// Turns the "?" of a statement into $1, $2, ...; the statements carry no literal "?".
std::string numbered(const std::string &sql) {
    std::string out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (char c : sql) {
        if (c == '?')
            out += "$" + std::to_string(++n);
        else
            out += c;
    }
    return out;
}

// The image of one field from a binary result column: strings and numbers directly, the rest
// through the value.
void imageFromResult(const FieldDef &f, const PgResult &r, int row, int col, uint8_t *image) {
    if (r.isNull(row, col)) {
        nullImage(f, image);
        return;
    }
    const char *p = r.data(row, col);
    const int n = r.length(row, col);
    switch (f.type) {
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING: {
        size_t k = std::min<size_t>(static_cast<size_t>(n), f.length);
        std::memcpy(image, p, k);
        std::memset(image + k, ' ', f.length - k);
        return;
    }
    default: {
        PgValue v;
        v.load(isBlobType(f.type) ? PgValue::Int4 : pgKind(f.type), p, n);
        pgImageFromValue(f, v, image);
    }
    }
}

} // namespace

RemoteTable::RemoteTable(std::shared_ptr<RemoteSession> session, RemoteTableDef def,
                         uint32_t options)
    : session_(std::move(session)), rdef_(std::move(def)) {
    readOnly_ = (options & DB_OPEN_READONLY) != 0;
    exclusive_ = (options & DB_OPEN_EXCLUSIVE) != 0;
    session_->openTable(this, rdef_.oid, exclusive_, path());
    opened_ = true;
    if ((options & DB_OPEN_REINDEX) && !readOnly_)
        pg().command("REINDEX TABLE " + rdef_.relation, path(), "Neuaufbau der Indizes");
    const size_t n = rdef_.def.fields.size();
    allFields_.assign(n, 1);
    noFields_.assign(n, 0);
    attach(rdef_.def, maxBatch(), maxBatch());
    attachChange(rdef_.def);
    buildOrders();
}

RemoteTable::~RemoteTable() {
    if (session_->transactionOwner == this) {
        session_->transactionOwner = nullptr;
        pg().rollback();
    }
    session_->releaseAll(this, rdef_.oid);
    if (opened_)
        session_->closeTable(this, rdef_.oid);
}

void RemoteTable::buildOrders() {
    orders_.clear();
    selects_.clear();
    positioning_ = Positioning();
    Order natural;
    natural.asc = "dbe_recno";
    natural.desc = "dbe_recno DESC";
    orders_.push_back(natural);
    for (const IndexDef &ix : rdef_.def.indexes) {
        Order o;
        for (int f : ix.fields) {
            const FieldDef &fd = rdef_.def.fields[f];
            bool folded = fd.type == DB_TYPE_CISTRING;
            o.columns.push_back(folded ? rdef_.ciColumns[f] : rdef_.columns[f]);
            o.fields.push_back(f);
            o.folded.push_back(folded);
            o.kinds.push_back(pgKind(fd.type));
        }
        o.asc = orderList(rdef_, ix, false);
        o.desc = orderList(rdef_, ix, true);
        orders_.push_back(o);
    }
}

bool RemoteTable::isKeyField(int field) const {
    const Order &o = orders_[order_];
    for (size_t k = 0; k < o.fields.size(); ++k) {
        if (o.fields[k] == field && !o.folded[k])
            return true;
    }
    return false;
}

PgResult RemoteTable::run(const std::string &sql, const std::vector<PgValue> &binds,
                          const char *what) {
    return pg().query(numbered(sql), binds, path(), what);
}

PgResult RemoteTable::runChange(const std::string &sql, const std::vector<PgValue> &binds,
                                const char *what) {
    return pg().change(numbered(sql), binds, path(), what);
}

void RemoteTable::lockedError(uint32_t recno) const {
    throw DbException(DBE_RECORD_LOCKED, "Der Datensatz " + recordText(recno) + " der Tabelle " +
                                             quoteFile(path()) +
                                             " ist von einem anderen Benutzer gesperrt.");
}

void RemoteTable::switchOrder(int order) {
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
        // The record this handle deleted keeps its place in the new order too.
        key_.assign(o.columns.size(), PgValue());
        for (size_t k = 0; k < o.columns.size(); ++k) {
            key_[k] = PgValue::null(o.kinds[k]);
            for (const auto &[column, value] : deletedKeys_)
                if (column == o.columns[k])
                    key_[k] = value;
        }
        return;
    }
    if (!on) {
        if (pos_ == Pos::On)
            pos_ = Pos::Bof;
        key_.clear();
        return;
    }
    key_.assign(o.columns.size(), PgValue());
    if (o.columns.empty())
        return;
    std::string cols;
    for (const std::string &c : o.columns)
        cols += (cols.empty() ? "" : ", ") + c;
    PgResult r = run("SELECT " + cols + " FROM " + rdef_.relation + " WHERE dbe_recno = ?",
                     {PgValue::int4(recno_)}, "Lesen eines Schlüssels");
    if (r.rows() == 0) {
        pos_ = Pos::Bof;
        return;
    }
    for (size_t k = 0; k < o.columns.size(); ++k)
        r.load(0, static_cast<int>(k), o.kinds[k], key_[k]);
}

std::vector<RemoteTable::Condition> RemoteTable::levels(int direction, bool fromEdge) const {
    std::vector<Condition> out;
    if (fromEdge) {
        out.push_back(Condition{"true", {}});
        return out;
    }
    const Order &o = orders_[order_];
    const PgValue *key = currentKey();
    size_t n = o.columns.size();
    // An equal segment: "= ?" for a value, "IS NULL" for the empty one; both are index
    // conditions on the server (IS NOT DISTINCT FROM would not be).
    auto prefix = [&](size_t upto, Condition &c) {
        for (size_t j = 0; j < upto; ++j) {
            if (key[j].isNull()) {
                c.sql += o.columns[j] + " IS NULL AND ";
            } else {
                c.sql += o.columns[j] + " = ? AND ";
                c.binds.push_back(key[j]);
            }
        }
    };
    // Same key, later record number; then, segment by segment from the last, a greater key
    // under an equal prefix. The empty value sorts first.
    Condition same;
    prefix(n, same);
    same.sql += direction > 0 ? "dbe_recno > ?" : "dbe_recno < ?";
    same.binds.push_back(PgValue::int4(recno_));
    out.push_back(same);
    for (size_t i = n; i-- > 0;) {
        if (direction > 0) {
            Condition c;
            prefix(i, c);
            if (key[i].isNull()) {
                c.sql += o.columns[i] + " IS NOT NULL";
            } else {
                c.sql += o.columns[i] + " > ?";
                c.binds.push_back(key[i]);
            }
            out.push_back(c);
        } else if (!key[i].isNull()) {
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

const RemoteTable::Select &RemoteTable::selectFor(const std::vector<char> &wanted) {
    for (const Select &sel : selects_)
        if (sel.order == order_ && sel.wanted == wanted)
            return sel;
    if (selects_.size() >= 8)
        selects_.erase(selects_.begin());
    const Order &o = orders_[order_];
    Select sel;
    sel.order = order_;
    sel.wanted = wanted;
    sel.colOf.assign(rdef_.def.fields.size(), -1);
    sel.sql = "SELECT dbe_recno";
    int next = 1;
    for (size_t k = 0; k < o.columns.size(); ++k) {
        sel.sql += ", " + o.columns[k];
        if (!o.folded[k])
            sel.colOf[o.fields[k]] = next;
        ++next;
    }
    for (size_t f = 0; f < rdef_.def.fields.size(); ++f) {
        if (!wanted[f] || sel.colOf[f] >= 0)
            continue;
        const FieldDef &fd = rdef_.def.fields[f];
        sel.sql +=
            ", " + (isBlobType(fd.type) ? "length(" + rdef_.columns[f] + ")" : rdef_.columns[f]);
        sel.colOf[f] = next++;
    }
    sel.sql += " FROM " + rdef_.relation + " WHERE ";
    selects_.push_back(std::move(sel));
    return selects_.back();
}

std::string RemoteTable::statement(const Select &sel, const Condition &cond, bool descending,
                                   bool single) const {
    const Order &o = orders_[order_];
    std::string sql = sel.sql + cond.sql;
    if (!filterSql_.sql.empty())
        sql += " AND (" + filterSql_.sql + ")";
    // A positioning reads one row: the limit a constant, so that the server's generic plan
    // knows it. A batch's limit varies (what is left of the batch after a level), so it is a
    // parameter, and one statement serves every size.
    sql += " ORDER BY " + (descending ? o.desc : o.asc) + (single ? " LIMIT 1" : " LIMIT ?");
    return numbered(sql);
}

size_t RemoteTable::collect(const Condition &cond, bool descending, size_t limit,
                            const std::vector<char> &wanted) {
    const Select &sel = selectFor(wanted);
    return fill(sel, statement(sel, cond, descending, false), cond,
                PgValue::int8(static_cast<int64_t>(limit)));
}

size_t RemoteTable::fill(const Select &sel, const std::string &sql, const Condition &cond,
                         const PgValue &limit) {
    const Order &o = orders_[order_];
    const size_t nk = o.columns.size();
    const std::vector<int> &colOf = sel.colOf;
    std::vector<PgValue> binds;
    const bool plain = filterSql_.binds.empty() && limit.isNull();
    if (!plain) {
        binds.reserve(cond.binds.size() + filterSql_.binds.size() + 1);
        binds = cond.binds;
        binds.insert(binds.end(), filterSql_.binds.begin(), filterSql_.binds.end());
        if (!limit.isNull())
            binds.push_back(limit);
    }
    PgResult r = pg().query(sql, plain ? cond.binds : binds, path(), "Lesen von Datensätzen");

    const size_t len = rdef_.def.recordLength;
    if (batch_.count == 0) {
        // Every field read comes with its image, key fields too (from their key columns).
        batch_.width = nk;
        batch_.hasImages = true;
        batch_.keyOf.assign(rdef_.def.fields.size(), -1);
        batch_.valid.resize(rdef_.def.fields.size());
        bool all = true;
        for (size_t f = 0; f < rdef_.def.fields.size(); ++f) {
            batch_.valid[f] = colOf[f] >= 0;
            all = all && colOf[f] >= 0;
        }
        batch_.allValid = all;
    }
    const int rows = r.rows();
    const size_t total = batch_.count + static_cast<size_t>(rows);
    // Grown, never shrunk: the strings in the keys keep their storage from batch to batch.
    if (batch_.recnos.size() < total)
        batch_.recnos.resize(total);
    if (batch_.keys.size() < total * nk)
        batch_.keys.resize(total * nk);
    if (batch_.images.size() < total * len)
        batch_.images.resize(total * len);
    for (int row = 0; row < rows; ++row) {
        size_t i = batch_.count++;
        batch_.recnos[i] = r.integer(row, 0);
        for (size_t k = 0; k < nk; ++k)
            r.load(row, static_cast<int>(k + 1), o.kinds[k], batch_.keys[i * nk + k]);
        uint8_t *image = batch_.images.data() + i * len;
        for (size_t f = 0; f < rdef_.def.fields.size(); ++f)
            if (colOf[f] >= 0)
                imageFromResult(rdef_.def.fields[f], r, row, colOf[f],
                                image + rdef_.def.fields[f].offset);
    }
    return static_cast<size_t>(rows);
}

bool RemoteTable::positionWhere(const Condition &cond, bool descending, bool withRow) {
    beginPositioning();
    // Seeks and record positioning repeat the same statement with other values: it is kept
    // as last assembled, so that a repeated seek costs the round trip and little besides.
    const Select &sel = selectFor(withRow ? allFields_ : noFields_);
    Positioning &p = positioning_;
    if (p.order != order_ || p.descending != descending || p.withRow != withRow ||
        p.condition != cond.sql || p.filter != filterSql_.sql) {
        p.order = order_;
        p.descending = descending;
        p.withRow = withRow;
        p.condition = cond.sql;
        p.filter = filterSql_.sql;
        p.sql = statement(sel, cond, descending, true);
    }
    if (fill(sel, p.sql, cond, PgValue()) == 0)
        return false;
    standOnFirst();
    return true;
}

RemoteTable::Condition RemoteTable::recordCondition(uint32_t recno) const {
    return Condition{"dbe_recno = ?", {PgValue::int4(recno)}};
}

bool RemoteTable::checkVisible(uint32_t recno) {
    if (filterSql_.sql.empty())
        return true;
    std::vector<PgValue> binds{PgValue::int4(recno)};
    binds.insert(binds.end(), filterSql_.binds.begin(), filterSql_.binds.end());
    PgResult r =
        run("SELECT 1 FROM " + rdef_.relation + " WHERE dbe_recno = ? AND (" + filterSql_.sql + ")",
            binds, "Prüfen des Filters");
    return r.rows() > 0;
}

uint32_t RemoteTable::recordCount(int order, bool respectFilters) {
    checkOrder(order);
    std::string sql = "SELECT count(*) FROM " + rdef_.relation;
    std::vector<PgValue> binds;
    if (respectFilters && !filterSql_.sql.empty()) {
        sql += " WHERE " + filterSql_.sql;
        binds = filterSql_.binds;
    }
    PgResult r = run(sql, binds, "Zählen der Datensätze");
    return static_cast<uint32_t>(r.integer(0, 0));
}

std::string RemoteTable::rowColumns(const std::string &alias) const {
    std::string out;
    for (size_t f = 0; f < rdef_.def.fields.size(); ++f) {
        const std::string col = alias.empty() ? rdef_.columns[f] : alias + "." + rdef_.columns[f];
        out += (out.empty() ? "" : ", ") +
               (isBlobType(rdef_.def.fields[f].type) ? "length(" + col + ")" : col);
    }
    return out;
}

void RemoteTable::rowFromResult(const PgResult &r, int row, int firstColumn) {
    for (size_t f = 0; f < rdef_.def.fields.size(); ++f)
        imageFromResult(rdef_.def.fields[f], r, row, firstColumn + static_cast<int>(f),
                        row_.data() + rdef_.def.fields[f].offset);
    rowValid_ = true;
}

void RemoteTable::fetchRow() {
    PgResult r =
        run("SELECT " + rowColumns("") + " FROM " + rdef_.relation + " WHERE dbe_recno = ?",
            {PgValue::int4(recno_)}, "Lesen eines Datensatzes");
    if (r.rows() == 0)
        vanished();
    rowFromResult(r, 0, 0);
}

uint32_t RemoteTable::blobLength(int field) {
    uint32_t given = 0;
    if (pending_) {
        if (pendingBlobLength(field, given))
            return given;
    } else if (pos_ != Pos::On || deleted_) {
        noCurrent();
    }
    PgResult r = run("SELECT length(" + rdef_.columns[field] + ") FROM " + rdef_.relation +
                         " WHERE dbe_recno = ?",
                     {PgValue::int4(recno_)}, "Lesen eines Memos");
    if (r.rows() == 0)
        vanished();
    return static_cast<uint32_t>(r.integer(0, 0));
}

std::string RemoteTable::readBlob(int field) {
    std::string given;
    if (pending_) {
        if (pendingBlob(field, given))
            return given;
    } else if (pos_ != Pos::On || deleted_) {
        noCurrent();
    }
    PgResult r =
        run("SELECT " + rdef_.columns[field] + " FROM " + rdef_.relation + " WHERE dbe_recno = ?",
            {PgValue::int4(recno_)}, "Lesen eines Memos");
    if (r.rows() == 0)
        vanished();
    return r.bytes(0, 0);
}

PgValue RemoteTable::keyValue(const FieldDef &field, const std::vector<uint8_t> &image,
                              bool prefix) const {
    PgValue v;
    if (prefix) {
        std::string p(reinterpret_cast<const char *>(image.data()), image.size());
        while (!p.empty() && (p.back() == ' ' || p.back() == 0))
            p.pop_back();
        v = p.empty() ? PgValue::null(PgValue::Bytea) : PgValue::bytea(p);
    } else {
        std::vector<uint8_t> full(image);
        full.resize(imageSize(field.type, field.length), 0);
        v = pgStoredValue(field, full.data());
    }
    return field.type == DB_TYPE_CISTRING ? pgFolded(v) : v;
}

bool RemoteTable::seekKey(const std::vector<KeySegment> &key, bool soft, bool withRecord) {
    const Order &o = orders_[order_];
    size_t m = std::min(key.size(), o.columns.size());
    struct Seg {
        PgValue value;
        PgValue end;
        bool prefix;
        bool any;
    };
    std::vector<Seg> segs;
    for (size_t k = 0; k < m; ++k) {
        const FieldDef &f = rdef_.def.fields[o.fields[k]];
        Seg s;
        s.prefix = key[k].prefix;
        s.value = keyValue(f, key[k].image, s.prefix);
        s.any = s.prefix && s.value.isNull();
        if (s.prefix && !s.any) {
            std::string e = prefixEnd(s.value.b);
            if (!e.empty())
                s.end = PgValue::bytea(e);
        }
        segs.push_back(std::move(s));
    }
    auto equal = [&](size_t k, Condition &c) {
        const Seg &s = segs[k];
        if (s.any)
            return;
        if (!s.prefix) {
            if (s.value.isNull()) {
                c.sql += " AND " + o.columns[k] + " IS NULL";
            } else {
                c.sql += " AND " + o.columns[k] + " = ?";
                c.binds.push_back(s.value);
            }
            return;
        }
        c.sql += " AND " + o.columns[k] + " >= ?";
        c.binds.push_back(s.value);
        if (!s.end.isNull()) {
            c.sql += " AND " + o.columns[k] + " < ?";
            c.binds.push_back(s.end);
        }
    };
    Condition exact{"true", {}};
    for (size_t k = 0; k < m; ++k)
        equal(k, exact);
    nextBatch_ = kFirstBatch;
    if (positionWhere(exact, false, withRecord))
        return true;
    if (soft) {
        for (size_t i = m; i-- > 0;) {
            const Seg &s = segs[i];
            Condition c{"true", {}};
            for (size_t j = 0; j < i; ++j)
                equal(j, c);
            if (s.any)
                continue;
            if (s.prefix) {
                if (s.end.isNull())
                    continue;
                c.sql += " AND " + o.columns[i] + " >= ?";
                c.binds.push_back(s.end);
            } else if (s.value.isNull()) {
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

RemoteTable::Condition RemoteTable::filterCondition(const Filter &filter) const {
    Condition c;
    for (const FilterTerm &t : filter.terms) {
        const FieldDef &f = rdef_.def.fields[t.field];
        bool ci = f.type == DB_TYPE_CISTRING;
        const std::string &stored = rdef_.columns[t.field];
        std::string col = stored;
        if (ci)
            col = rdef_.ciColumns[t.field];
        else if (t.upper)
            col = "dbe_catalog.upper1252(" + col + ")";
        // The upper case of a value costs the server far more than a look at its ASCII letters:
        // with UPPER(), only the values that pass that look are compared exactly.
        const bool upperCompare = t.upper && !ci;
        std::vector<PgValue> candidateBinds;
        const size_t termBinds = c.binds.size(); // where the term's own binds begin
        std::string candidate;
        std::string term;
        switch (t.kind) {
        case FilterTerm::Empty:
            term = (f.type == DB_TYPE_DOUBLE || f.type == DB_TYPE_CURDOUBLE) ? col + " = 0"
                                                                             : col + " IS NULL";
            break;
        case FilterTerm::IsTrue:
            term = col + " IS TRUE";
            break;
        case FilterTerm::IsFalse:
            term = col + " IS NOT TRUE";
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
                        if (upperCompare)
                            candidate = upperCandidate(session_->pg().serverEncoding(), stored,
                                                       text, false, candidateBinds);
                        term = col + " = ?";
                        c.binds.push_back(PgValue::bytea(text));
                    }
                } else if (text.empty()) {
                    term = "true";
                } else {
                    std::string head = text;
                    if (trims)
                        while (!head.empty() && head.back() == ' ')
                            head.pop_back();
                    size_t blanks = text.size() - head.size();
                    auto n = [](size_t v) { return PgValue::int4(static_cast<int64_t>(v)); };
                    if (head.empty()) {
                        term = "(" + col + " IS NULL OR substring(" + col + " FROM 1 FOR ?) = ?)";
                        c.binds.push_back(n(blanks));
                        c.binds.push_back(PgValue::bytea(std::string(blanks, ' ')));
                    } else {
                        if (upperCompare)
                            candidate = upperCandidate(session_->pg().serverEncoding(), stored,
                                                       head, true, candidateBinds);
                        // Begins with the text; blanks at its end also match the padding of a
                        // value that ends there.
                        term = "(substring(" + col + " FROM 1 FOR ?) = ?";
                        c.binds.push_back(n(head.size()));
                        c.binds.push_back(PgValue::bytea(head));
                        if (blanks) {
                            term += " AND (length(" + col + ") = ? OR substring(" + col +
                                    " FROM ? FOR ?) = ?)";
                            c.binds.push_back(n(head.size()));
                            c.binds.push_back(n(head.size() + 1));
                            c.binds.push_back(n(blanks));
                            c.binds.push_back(PgValue::bytea(std::string(blanks, ' ')));
                        }
                        term += ")";
                    }
                }
            } else {
                PgValue v = pgStoredValue(f, t.image.data());
                if (v.isNull()) {
                    term = col + " IS NULL";
                } else {
                    term = col + " = ?";
                    c.binds.push_back(std::move(v));
                }
            }
            break;
        }
        if (!candidate.empty()) {
            // CASE keeps the order: the server sorts the parts of an AND by its own estimates.
            term = "CASE WHEN " + candidate + " THEN " + term + " ELSE false END";
            c.binds.insert(c.binds.begin() + static_cast<std::ptrdiff_t>(termBinds),
                           candidateBinds.begin(), candidateBinds.end());
        }
        c.sql += (c.sql.empty() ? "" : " AND ") + term;
    }
    return c;
}

bool RemoteTable::evaluate(const Filter &filter) {
    requireCurrent();
    Condition c = filterCondition(filter);
    c.binds.push_back(PgValue::int4(recno_));
    PgResult r = run("SELECT coalesce((" + c.sql + "), false) FROM " + rdef_.relation +
                         " WHERE dbe_recno = ?",
                     c.binds, "Auswerten eines Ausdrucks");
    if (r.rows() == 0)
        vanished();
    return r.boolean(0, 0);
}

void RemoteTable::lock(uint32_t recno) {
    if (recno == 0) {
        requireCurrent();
        recno = recno_;
    }
    const bool had = session_->heldBy(this, rdef_.oid, recno);
    if (!session_->tryLock(this, rdef_.oid, recno, path()))
        lockedError(recno);
    PgResult r = run("SELECT 1 FROM " + rdef_.relation + " WHERE dbe_recno = ?",
                     {PgValue::int4(recno)}, "Sperren eines Datensatzes");
    if (r.rows() == 0) {
        if (!had)
            session_->unlock(this, rdef_.oid, recno, path());
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno) +
                                                    " der Tabelle " + quoteFile(path()) +
                                                    " existiert nicht (mehr).");
    }
    if (pos_ == Pos::On && !deleted_ && recno == recno_ && !pending_) {
        // From now on nobody else changes it: read the stored record afresh.
        rereadCurrent();
    }
}

void RemoteTable::unlock(uint32_t recno) {
    if (recno == 0) {
        if (pos_ != Pos::On)
            noCurrent();
        recno = recno_;
    }
    session_->unlock(this, rdef_.oid, recno, path());
}

bool RemoteTable::isLocked(uint32_t recno) {
    if (recno == 0) {
        requireCurrent();
        recno = recno_;
    }
    return session_->isLocked(rdef_.oid, recno, path());
}

std::string RemoteTable::conflictingTag() {
    // The pending record's key of each unique tag, looked up.
    for (const IndexDef &ix : rdef_.def.indexes) {
        if (!ix.unique)
            continue;
        Condition c{"true", {}};
        bool hasNull = false;
        for (size_t k = 0; k < ix.fields.size(); ++k) {
            const FieldDef &f = rdef_.def.fields[ix.fields[k]];
            PgValue v = pgStoredValue(f, pendingImage_.data() + f.offset);
            hasNull = hasNull || v.isNull();
            const bool folded = f.type == DB_TYPE_CISTRING;
            c.sql += " AND " +
                     (folded ? rdef_.ciColumns[ix.fields[k]] : rdef_.columns[ix.fields[k]]) +
                     " = ?";
            c.binds.push_back(folded ? pgFolded(v) : v);
        }
        if (hasNull)
            continue;
        if (run("SELECT 1 FROM " + rdef_.relation + " WHERE " + c.sql + " LIMIT 1", c.binds,
                "Anfügen eines Datensatzes")
                .rows() > 0)
            return ix.name;
    }
    return std::string();
}

void RemoteTable::duplicateKey(const std::string &tag) const {
    throw duplicateKeyError(path(), tag);
}

void RemoteTable::holdPending() {
    pg().requireUnfailed();
    HeldAppends &held = session_->appends();
    // The record as the server will give it back; it becomes current once it is held.
    std::vector<uint8_t> stored(rdef_.def.recordLength);
    std::vector<PgValue> values;
    values.reserve(rdef_.def.fields.size() + 1);
    values.push_back(PgValue::int4(held.nextRecordNumber(rdef_)));
    for (size_t i = 0; i < rdef_.def.fields.size(); ++i) {
        const FieldDef &f = rdef_.def.fields[i];
        uint8_t *image = pendingImage_.data() + f.offset;
        PgValue v;
        if (isBlobType(f.type)) {
            const std::string *given = givenBlob(static_cast<int>(i));
            v = given ? PgValue::bytea(*given) : PgValue::null(PgValue::Bytea);
            pgImageFromValue(f, v.isNull() ? v : PgValue::int4(static_cast<int64_t>(v.b.size())),
                             stored.data() + f.offset);
        } else {
            if (f.type == DB_TYPE_AUTOINC) {
                if (isNullImage(f, image))
                    writeInt32(image, held.nextNumber(rdef_.sequences[i], path()));
                else
                    held.numberGiven(rdef_.sequences[i], readInt32(image), path());
            }
            v = pgStoredValue(f, image);
            pgImageFromValue(f, v, stored.data() + f.offset);
        }
        if (f.type == DB_TYPE_CISTRING) {
            PgValue folded = pgFolded(v);
            values.push_back(std::move(v));
            values.push_back(std::move(folded));
        } else {
            values.push_back(std::move(v));
        }
    }
    const bool full = held.hold(rdef_, insertColumns(), values);
    recno_ = static_cast<uint32_t>(values.front().i);
    row_.swap(stored);
    rowValid_ = true;
    if (full)
        pg().sendHeld();
}

const std::string &RemoteTable::insertColumns() {
    if (insertColumns_.empty()) {
        for (size_t i = 0; i < rdef_.def.fields.size(); ++i) {
            insertColumns_ += (insertColumns_.empty() ? "" : ", ") + rdef_.columns[i];
            if (rdef_.def.fields[i].type == DB_TYPE_CISTRING)
                insertColumns_ += ", " + rdef_.ciColumns[i];
        }
    }
    return insertColumns_;
}

void RemoteTable::insertPending() {
    std::string cols, marks;
    std::vector<PgValue> values;
    for (size_t i = 0; i < rdef_.def.fields.size(); ++i) {
        const FieldDef &f = rdef_.def.fields[i];
        const uint8_t *image = pendingImage_.data() + f.offset;
        std::string mark = "?";
        PgValue v;
        if (isBlobType(f.type)) {
            const std::string *given = givenBlob(static_cast<int>(i));
            v = given ? PgValue::bytea(*given) : PgValue::null(PgValue::Bytea);
        } else if (f.type == DB_TYPE_AUTOINC) {
            // Numbers come from the field's sequence and are never handed out twice; a value
            // given (imports) moves the sequence past it.
            const std::string &seq = rdef_.sequences[i];
            if (isNullImage(f, image)) {
                v = PgValue::null(PgValue::Int4);
                mark = "coalesce(?, nextval('" + seq + "')::integer)";
            } else {
                v = PgValue::int4(readInt32(image));
                run("SELECT setval('" + seq + "', ?) FROM " + seq +
                        " WHERE ? > CASE WHEN is_called THEN last_value ELSE 0 END",
                    {PgValue::int8(v.i), PgValue::int8(v.i)}, "Schreiben des Zählers");
            }
        } else {
            v = pgStoredValue(f, image);
        }
        cols += (cols.empty() ? "" : ", ") + rdef_.columns[i];
        marks += (marks.empty() ? "" : ", ") + mark;
        if (f.type == DB_TYPE_CISTRING) {
            cols += ", " + rdef_.ciColumns[i];
            marks += ", ?";
            values.push_back(v);
            values.push_back(pgFolded(v));
        } else {
            values.push_back(std::move(v));
        }
    }
    // A key that a unique tag has already makes the statement insert nothing (instead of
    // failing), so that inside a transaction the failed write needs no savepoint of its own:
    // a bulk load of a million records would otherwise pay one per record.
    PgResult r = run("INSERT INTO " + rdef_.relation + " (" + cols + ") VALUES (" + marks +
                         ") ON CONFLICT DO NOTHING RETURNING dbe_recno, " + rowColumns(""),
                     values, "Anfügen eines Datensatzes");
    if (r.rows() == 0)
        duplicateKey(conflictingTag());
    recno_ = static_cast<uint32_t>(r.integer(0, 0));
    rowFromResult(r, 0, 1);
}

void RemoteTable::updatePendingRow() {
    if (session_->heldByOther(this, rdef_.oid, recno_))
        lockedError(recno_);
    std::string sets;
    std::vector<PgValue> values{PgValue::int4(static_cast<int32_t>(rdef_.oid)),
                                PgValue::int4(recno_)};
    for (size_t i = 0; i < rdef_.def.fields.size(); ++i) {
        if (!changed_[i])
            continue;
        const FieldDef &f = rdef_.def.fields[i];
        PgValue v;
        if (isBlobType(f.type)) {
            const std::string *given = givenBlob(static_cast<int>(i));
            v = given ? PgValue::bytea(*given) : PgValue::null(PgValue::Bytea);
        } else {
            v = pgStoredValue(f, pendingImage_.data() + f.offset);
        }
        sets += (sets.empty() ? "" : ", ") + rdef_.columns[i] + " = ?";
        if (f.type == DB_TYPE_CISTRING) {
            sets += ", " + rdef_.ciColumns[i] + " = ?";
            values.push_back(v);
            values.push_back(pgFolded(v));
        } else {
            values.push_back(std::move(v));
        }
    }
    if (sets.empty()) {
        fetchRow();
        return;
    }
    values.push_back(PgValue::int4(recno_));
    // The record's lock for the statement's transaction (unless this handle holds it anyway),
    // the change and the stored record, in one statement.
    PgResult r;
    try {
        r = runChange("WITH dbe_lock AS (SELECT pg_try_advisory_xact_lock(?, ?) AS ok) UPDATE " +
                          rdef_.relation + " AS dbe_r SET " + sets +
                          " FROM dbe_lock WHERE dbe_lock.ok AND dbe_r.dbe_recno = ? RETURNING " +
                          rowColumns("dbe_r"),
                      values, "Ändern eines Datensatzes");
    } catch (const PgError &e) {
        if (e.code() == DBE_DUPLICATE_KEY)
            duplicateKey(uniqueTagOf(rdef_, e.constraint()));
        throw;
    }
    if (r.rows() == 0) {
        PgResult there = run("SELECT 1 FROM " + rdef_.relation + " WHERE dbe_recno = ?",
                             {PgValue::int4(recno_)}, "Ändern eines Datensatzes");
        if (there.rows() > 0)
            lockedError(recno_);
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno_) +
                                                    " der Tabelle " + quoteFile(path()) +
                                                    " wurde inzwischen gelöscht.");
    }
    rowFromResult(r, 0, 0);
}

void RemoteTable::write() {
    if (!pending_)
        throw DbException(DBE_NO_UPDATE_PENDING,
                          "In der Tabelle " + quoteFile(path()) + " ist keine Änderung offen.");
    requireWritable();
    if (pendingNew_ && pg().inTransaction())
        holdPending();
    else if (pendingNew_)
        insertPending();
    else
        updatePendingRow();
    endChange();
    // The written record becomes current, as stored (the statement gave it back).
    const Order &o = orders_[order_];
    clearBatch();
    pos_ = Pos::On;
    deleted_ = false;
    visible_ = true;
    nextBatch_ = kFirstBatch;
    consumed_ = 0;
    key_.assign(o.columns.size(), PgValue());
    for (size_t k = 0; k < o.columns.size(); ++k) {
        const FieldDef &f = rdef_.def.fields[o.fields[k]];
        PgValue v = pgStoredValue(f, row_.data() + f.offset);
        key_[k] = o.folded[k] ? pgFolded(v) : v;
    }
    if (!filterSql_.sql.empty())
        visible_ = checkVisible(recno_);
}

void RemoteTable::deleteRecord() {
    requireWritable();
    if (pending_ && pendingNew_)
        requireNoPending("Löschen");
    requireCurrent();
    if (session_->heldByOther(this, rdef_.oid, recno_))
        lockedError(recno_);
    // The key columns of every order come back, so that the cursor keeps the deleted record's
    // place in whichever order skips next.
    std::vector<std::string> columns;
    for (const Order &o : orders_)
        for (const std::string &c : o.columns)
            if (std::find(columns.begin(), columns.end(), c) == columns.end())
                columns.push_back(c);
    std::string list = "dbe_r.dbe_recno";
    for (const std::string &c : columns)
        list += ", dbe_r." + c;
    PgResult r = runChange("WITH dbe_lock AS (SELECT pg_try_advisory_xact_lock(?, ?) AS ok) "
                           "DELETE FROM " +
                               rdef_.relation +
                               " AS dbe_r USING dbe_lock WHERE dbe_lock.ok AND "
                               "dbe_r.dbe_recno = ? RETURNING " +
                               list,
                           {PgValue::int4(static_cast<int32_t>(rdef_.oid)), PgValue::int4(recno_),
                            PgValue::int4(recno_)},
                           "Löschen eines Datensatzes");
    if (r.rows() == 0) {
        PgResult there = run("SELECT 1 FROM " + rdef_.relation + " WHERE dbe_recno = ?",
                             {PgValue::int4(recno_)}, "Löschen eines Datensatzes");
        if (there.rows() > 0)
            lockedError(recno_);
    } else {
        deletedKeys_.clear();
        deletedRecno_ = recno_;
        for (size_t k = 0; k < columns.size(); ++k) {
            PgValue v;
            PgValue::Kind kind = PgValue::Bytea;
            for (const Order &o : orders_)
                for (size_t j = 0; j < o.columns.size(); ++j)
                    if (o.columns[j] == columns[k])
                        kind = o.folded[j] ? PgValue::Bytea : o.kinds[j];
            r.load(0, static_cast<int>(k + 1), kind, v);
            deletedKeys_.emplace_back(columns[k], std::move(v));
        }
    }
    const bool gone = r.rows() > 0;
    endChange();
    uint32_t recno = recno_;
    try {
        vanished();
    } catch (const DbException &) {
        // vanished() reports the missing record; here that is the expected outcome.
    }
    if (!gone)
        throw DbException(DBE_RECORD_NOT_FOUND, "Der Datensatz " + recordText(recno) +
                                                    " der Tabelle " + quoteFile(path()) +
                                                    " war bereits gelöscht.");
}

int RemoteTable::createIndex(const std::string &tag, const std::vector<int> &fields, bool unique) {
    requireWritable();
    requireNoPending("Anlegen eines Index");
    rdef_.def.checkNewIndex(tag, fields);
    createRemoteIndex(pg(), session_->dataSet(), rdef_, tag, fields, unique);
    clearBatch();
    buildOrders();
    return static_cast<int>(rdef_.def.indexes.size());
}

void RemoteTable::beginTransaction() {
    requireWritable();
    if (pg().inTransaction())
        throw DbException(DBE_INVALID_ARGUMENT, "In der Tabelle " + quoteFile(path()) +
                                                    " läuft bereits eine Transaktion.");
    pg().begin(path(), "Beginnen einer Transaktion");
    session_->transactionOwner = this;
}

void RemoteTable::commitTransaction() {
    if (session_->transactionOwner != this)
        throw DbException(DBE_INVALID_ARGUMENT,
                          "In der Tabelle " + quoteFile(path()) + " läuft keine Transaktion.");
    session_->transactionOwner = nullptr;
    try {
        pg().commit(path(), "Abschließen einer Transaktion");
    } catch (const DbException &) {
        // The transaction was rolled back: the records it appended are not there.
        forgetReads();
        throw;
    }
}

void RemoteTable::rollbackTransaction() {
    if (session_->transactionOwner != this)
        throw DbException(DBE_INVALID_ARGUMENT,
                          "In der Tabelle " + quoteFile(path()) + " läuft keine Transaktion.");
    session_->transactionOwner = nullptr;
    pg().rollback();
    forgetReads();
}

void RemoteTable::closeInsideTransaction() {
    // The writes are the session's (held appends included) and go with its commit.
    if (updatePending())
        cancelChange();
    session_->releaseAll(this, rdef_.oid);
}

void RemoteTable::forgetReads() {
    endChange();
    forgetPosition();
}

std::vector<std::string> RemoteTable::integrityProblems() {
    requireNoPending("Prüfen");
    const char *what = "Prüfen der Tabelle";
    // The server keeps records and indexes itself and repairs them after a crash; what can go
    // unnoticed is an index that disagrees with the rows, which its index check finds.
    if (run("SELECT count(*) FROM pg_extension WHERE extname = 'amcheck'", {}, what)
            .integer(0, 0) == 0)
        throw DbException(DBE_STORAGE_ERROR,
                          "Die Tabelle " + quoteFile(path()) + " kann auf dem " +
                              pg().serverText() +
                              " nicht geprüft werden: in seiner Datenbank fehlt die Erweiterung "
                              "\"amcheck\" (einzurichten mit CREATE EXTENSION amcheck).");
    PgResult indexes = run("SELECT c.oid::int8, c.relname::text FROM pg_index i JOIN pg_class c "
                           "ON c.oid = i.indexrelid JOIN pg_am a ON a.oid = c.relam WHERE "
                           "a.amname = 'btree' AND i.indrelid = " +
                               std::to_string(rdef_.oid) + " ORDER BY c.relname",
                           {}, what);
    // A tag has its order index "t<n>_tag<k>" and, when unique, "t<n>_uniq<k>".
    auto tagOf = [&](std::string index) {
        const size_t uniq = index.rfind("_uniq");
        if (uniq != std::string::npos)
            index = index.substr(0, uniq) + "_tag" + index.substr(uniq + 5);
        for (size_t i = 0; i < rdef_.tagIndexes.size(); ++i)
            if (rdef_.tagIndexes[i] == index)
                return "Der Index \"" + rdef_.def.indexes[i].name + "\"";
        return "Der Index \"" + index + "\" des Servers";
    };
    std::vector<std::string> problems;
    for (int r = 0; r < indexes.rows(); ++r) {
        try {
            runChange("SELECT bt_index_check(" + std::to_string(indexes.integer(r, 0)) +
                          "::oid::regclass, true)",
                      {}, what);
        } catch (const PgError &e) {
            // XX001/XX002: the data or the index is damaged; anything else is a failure.
            if (e.sqlState() != "XX001" && e.sqlState() != "XX002")
                throw;
            problems.push_back(tagOf(indexes.bytes(r, 1)) +
                               " stimmt nicht mit den Datensätzen überein: " + e.what());
        }
    }
    return problems;
}

} // namespace dbeng
