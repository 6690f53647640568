#include "CheckSession.h"

#include "check/core/ResultTable.h"
#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "data/MemTable.h"

CheckSession::CheckSession(const QString &folder) {
    m_connection = new TDbConnection(&m_owner);
    m_connection->setObjectName(QStringLiteral("DbConnection"));
    m_connection->SetConnectPath(folder);
    auto open = [&](const QString &name, const QString &file) {
        auto *table = new TDbTable(&m_owner);
        table->setObjectName(name);
        table->SetDbConnection(m_connection);
        table->SetTableName(file);
        table->Open();
        return table;
    };
    m_articles = open(QStringLiteral("Table_ARTMAIN"), QStringLiteral("ArtikelMain.TBL"));
    m_bookings = open(QStringLiteral("Subtable"), QStringLiteral("Artikelsub.TBL"));
    m_result = new TMemTable(&m_owner);
    m_result->setObjectName(QStringLiteral("KM"));
    ResultTable::createFields(*m_result, &m_owner);
    m_result->Open();
    m_check = std::make_unique<DuplicateCheck>(*m_articles, *m_bookings, *m_result, m_feedback);
}

CheckSession::~CheckSession() = default;

bool CheckSession::deleteDuplicates() {
    m_check->collectCandidates(candidates);
    return m_check->deleteSurplus(candidates);
}

QStringList CheckSession::rows() {
    const ResultTable::Fields fields = ResultTable::fields(*m_result);
    QStringList out;
    for (m_result->First(); !m_result->Eof(); m_result->Next())
        out << QStringLiteral("%1:%2:%3")
                   .arg(fields.id->AsInteger())
                   .arg(fields.bstn->AsString(), fields.hasBooks->AsBoolean()
                                                     ? QStringLiteral("Ja")
                                                     : QStringLiteral("Nein"));
    return out;
}
