#include "data/DbTransaction.h"

#include "data/DbConnection.h"
#include "platform/Exception.h"

TDbTransaction::TDbTransaction(TDbConnection *connection) : m_connection(connection) {
    m_connection->StartTransaction();
    m_open = true;
}

TDbTransaction::~TDbTransaction() {
    if (!m_open)
        return;
    try {
        m_connection->Rollback();
    } catch (const Exception &) {
        // Unwinding already: the first failure is the one to report. A session that broke
        // off has rolled back by itself.
    }
}

void TDbTransaction::Commit() {
    m_open = false;
    m_connection->Commit();
}
