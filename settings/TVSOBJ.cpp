#include "settings/TVSOBJ.h"

#include "data/Field.h"
#include "data/MemTable.h"

TVSOBJ::TVSOBJ() : m_table(new TMemTable) {
    m_table->setObjectName(QStringLiteral("VSTable"));
    for (const char *name : {"Text", "Text2", "Text1Netto", "Text2Netto"}) {
        auto *field = new TStringField(m_table, 50);
        field->SetFieldName(QString::fromLatin1(name));
        field->SetDataSet(m_table);
    }
    auto *steuer = new TIntegerField(m_table);
    steuer->SetFieldName(QStringLiteral("Steuer"));
    steuer->SetDataSet(m_table);
    auto *value = new TFloatField(m_table);
    value->SetFieldName(QStringLiteral("Value"));
    value->SetDataSet(m_table);
    m_table->Open();
}

TVSOBJ::~TVSOBJ() {
    delete m_table;
}
