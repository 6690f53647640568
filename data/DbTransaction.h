// TDbTransaction: one transaction of a connection for the length of a scope, around
// everything its open tables read and write. Commit() stores; leaving the scope without it
// (an exception, an early return) rolls back. Meant for a change that must rest on what it has
// just read: no other workstation writes to the tables in between (see
// DbBeginConnectionTransaction in dbeng.h).
#pragma once

class TDbConnection;

class TDbTransaction {
public:
    explicit TDbTransaction(TDbConnection *connection);
    ~TDbTransaction();
    TDbTransaction(const TDbTransaction &) = delete;
    TDbTransaction &operator=(const TDbTransaction &) = delete;

    void Commit();

private:
    TDbConnection *m_connection;
    bool m_open = false;
};
