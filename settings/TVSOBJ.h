// The tax texts of the documents (Ident 20): an in-memory table with the text pairs, the tax
// key and the rate, open from construction.
#pragma once

class TMemTable;
class TStringField;
class TIntegerField;
class TFloatField;

class TVSOBJ {
public:
    TVSOBJ();
    ~TVSOBJ();
    TVSOBJ(const TVSOBJ &) = delete;
    TVSOBJ &operator=(const TVSOBJ &) = delete;

    TMemTable *Table() const { return m_table; }

private:
    TMemTable *m_table;
};
