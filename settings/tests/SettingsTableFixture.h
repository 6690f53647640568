// A settings table made through the engine in a temporary folder, the way the host makes it,
// opened with the table component as the module opens it; the loader's messages are
// collected instead of shown.
#pragma once

#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "dbeng.h"
#include "platform/Cp1252.h"
#include "schema/HostSchema.h"
#include "settings/SettingsLoader.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsStart.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

class SettingsTableFixture : public ::testing::Test {
protected:
    struct Options {
        bool identTag = true;
        bool memoColumn = true;
        bool stringColumn = true;
    };

    // The table's make-up; a fixture for damaged tables overrides it.
    virtual Options TableOptions() const { return Options(); }

    void SetUp() override { SetUpTable(TableOptions()); }

    void SetUpTable(const Options &options) {
        ok(DbConnect(Cp1252::fromQString(m_dir.path()).constData(), DB_SERVER_LOCAL, "", "", 0,
                     &m_engine));
        // The host's settings table, less what the damaged variants leave out.
        m_schema = HostSchema::settings();
        auto drop = [this](const char *name) {
            std::erase_if(m_schema.fields,
                          [name](const HostSchema::Field &f) { return f.name == name; });
        };
        if (!options.memoColumn)
            drop("MemoItem");
        if (!options.stringColumn)
            drop("stringItem");
        if (!options.identTag)
            m_schema.indexes.clear();
        ok(HostSchema::createTable(m_engine, m_schema, &m_table));
        ok(HostSchema::createIndexes(m_table, m_schema));
        SetWorkstationSettingsFolder(m_dir.path() + QStringLiteral("/programm"));
        SetSettingsMessageHandler(
            [this](const QString &headline, const QString &detail, const QString &tail) {
                messages << SettingsMessagePlainText(headline, detail, tail);
            });
    }

public:
    void TearDown() override {
        m_component.reset();
        m_connection.reset();
        if (m_table)
            DbCloseTable(m_table);
        DbDisconnect(m_engine);
        SetSettingsMessageHandler({});
        SetWorkstationSettingsFolder(QString());
    }

    // Appends a row; a null text or memo leaves that column empty.
    void Put(int ident, const QString &text, const QByteArray &memo = QByteArray()) {
        ok(DbAppendRecord(m_table));
        const QByteArray id = QByteArray::number(ident);
        ok(DbSetField(m_table, m_schema.fieldNumber("Ident"), id.constData(), uint32_t(id.size())));
        if (const uint16_t memoField = m_schema.fieldNumber("MemoItem");
            memoField && !memo.isEmpty())
            ok(DbSetBinary(m_table, memoField, reinterpret_cast<const uint8_t *>(memo.constData()),
                           uint32_t(memo.size())));
        if (const uint16_t textField = m_schema.fieldNumber("stringItem");
            textField && !text.isEmpty()) {
            const QByteArray t = Cp1252::fromQString(text);
            ok(DbSetField(m_table, textField, t.constData(), uint32_t(t.size())));
        }
        ok(DbWriteRecord(m_table));
    }
    void PutLines(int ident, const QStringList &lines, const QString &text = QString()) {
        Put(ident, text, Cp1252::fromQString(lines.join(QStringLiteral("\r\n"))));
    }

    // KLEVO.INI beside the "program".
    void WriteIni(const QByteArray &content) {
        QDir().mkpath(m_dir.path() + QStringLiteral("/programm"));
        QFile f(m_dir.path() + QStringLiteral("/programm/KLEVO.INI"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

protected:
    // The table component, opened as the module's start opens it: index name "IDENT".
    TDbTable *Open(const QString &indexName = QStringLiteral("IDENT")) {
        if (m_table) {
            ok(DbCloseTable(m_table));
            m_table = 0;
        }
        m_connection = std::make_unique<TDbConnection>();
        m_connection->SetDbServerTypes(stDB_LOCAL);
        m_connection->SetConnectPath(m_dir.path());
        m_component = std::make_unique<TDbTable>();
        m_component->setObjectName(QStringLiteral("DbTableSettings"));
        m_component->SetDbConnection(m_connection.get());
        m_component->SetTableName(QStringLiteral("setup.TBL"));
        m_component->SetIndexName(indexName);
        OpenSettingsTable(m_component.get());
        return m_component.get();
    }

    static void ok(DBRESULT r) {
        if (r != DBE_SUCCESS) {
            uint32_t number = 0;
            char text[DB_MAX_ERROR_TEXT + 1] = {};
            uint16_t len = sizeof text;
            DbGetLastError(&number, text, &len);
            throw std::runtime_error(std::string("engine call failed: ") + text);
        }
    }

    QTemporaryDir m_dir;
    QStringList messages;

private:
    HostSchema::Table m_schema;
    DBHANDLE m_engine = 0;
    DBHANDLE m_table = 0;
    std::unique_ptr<TDbConnection> m_connection;
    std::unique_ptr<TDbTable> m_component;
};
