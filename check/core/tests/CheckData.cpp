#include "CheckData.h"

#include "platform/Cp1252.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

void ok(DBRESULT r) {
    if (r == DBE_SUCCESS)
        return;
    uint32_t n = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&n, text, &len);
    ADD_FAILURE() << "engine: " << n << " " << text;
}

void setText(DBHANDLE table, uint16_t field, const QString &value) {
    const QByteArray b = Cp1252::fromQString(value);
    ok(b.isEmpty() ? DbSetEmpty(table, field)
                   : DbSetField(table, field, b.constData(), uint32_t(b.size())));
}

QString text(DBHANDLE table, uint16_t field) {
    char buf[256] = {};
    uint32_t len = sizeof buf - 1;
    ok(DbGetField(table, field, buf, &len, DB_TRIM_RIGHT));
    return Cp1252::toQString(buf);
}

const HostSchema::Table &articleTable() {
    return HostSchema::articles();
}

uint16_t articleField(const char *name) {
    return HostSchema::articles().fieldNumber(name);
}

uint16_t bookingField(const char *name) {
    return HostSchema::bookings().fieldNumber(name);
}

} // namespace

CheckData::CheckData() {
    EXPECT_TRUE(m_dir.isValid());
    ok(DbConnect(Cp1252::fromQString(m_dir.path()).constData(), DB_SERVER_LOCAL, "", "", 0,
                 &m_connection));
}

CheckData::~CheckData() {
    if (m_connection)
        DbDisconnect(m_connection);
}

DBHANDLE CheckData::openTable(const HostSchema::Table &table) const {
    DBHANDLE handle = 0;
    ok(DbOpenTable(m_connection, table.fileName.c_str(), nullptr, DB_TABLE_NATIVE, DB_CHARTYPE_ANSI,
                   DB_LOCKTYPE_PROPRIETARY, DB_RIGHTS_CHECK, 0, &handle));
    return handle;
}

void CheckData::makeTables(const std::vector<Article> &articles, TableTags tags) {
    const HostSchema::Table &bookingTable = HostSchema::bookings();
    DBHANDLE a = 0, b = 0;
    ok(HostSchema::createTable(m_connection, articleTable(), &a));
    for (const HostSchema::Index &index : articleTable().indexes) {
        if (tags.bstn || index.tag != "BSTN")
            ok(HostSchema::createIndex(a, index));
    }
    ok(HostSchema::createTable(m_connection, bookingTable, &b));
    for (const HostSchema::Index &index : bookingTable.indexes) {
        if (tags.idArt || index.tag != "ID_ART")
            ok(HostSchema::createIndex(b, index));
    }
    ok(DbBeginTransaction(a));
    ok(DbBeginTransaction(b));
    int id = 0;
    for (const Article &article : articles) {
        ++id;
        ok(DbAppendRecord(a));
        setText(a, articleField("BZK"), article.bzk);
        setText(a, articleField("BSTN"), article.bstn);
        ok(DbWriteRecord(a));
        for (int k = 0; k < article.bookings; ++k) {
            ok(DbAppendRecord(b));
            setText(b, bookingField("ID_ART"), QString::number(id));
            setText(b, bookingField("MENGE"), QStringLiteral("1"));
            ok(DbWriteRecord(b));
        }
    }
    ok(DbCommitTransaction(a));
    ok(DbCommitTransaction(b));
    ok(DbCloseTable(a));
    ok(DbCloseTable(b));

    const HostSchema::Table &settingsTable = HostSchema::settings();
    DBHANDLE s = 0;
    ok(HostSchema::createTable(m_connection, settingsTable, &s));
    ok(HostSchema::createIndexes(s, settingsTable));
    ok(DbAppendRecord(s));
    setText(s, settingsTable.fieldNumber("Ident"), QStringLiteral("1"));
    setText(s, settingsTable.fieldNumber("stringItem"), QStringLiteral("Testmandant"));
    ok(DbWriteRecord(s));
    ok(DbCloseTable(s));
}

void CheckData::appendRuns(int pairs, int triples) {
    DBHANDLE a = openTable(articleTable());
    ok(DbBeginTransaction(a));
    int run = 0;
    auto add = [&](int length) {
        ++run;
        for (int k = 0; k < length; ++k) {
            ok(DbAppendRecord(a));
            setText(a, articleField("BZK"), QStringLiteral("Artikel"));
            setText(a, articleField("BSTN"), QStringLiteral("N-%1").arg(run, 5, 10, QChar(u'0')));
            ok(DbWriteRecord(a));
        }
    };
    for (int i = 0; i < triples; ++i)
        add(3);
    for (int i = 0; i < pairs; ++i)
        add(2);
    ok(DbCommitTransaction(a));
    ok(DbCloseTable(a));
}

void CheckData::appendArticle(int id, const QString &bzk, const QString &bstn) {
    DBHANDLE a = openTable(articleTable());
    ok(DbAppendRecord(a));
    setText(a, articleField("ID"), QString::number(id));
    setText(a, articleField("BZK"), bzk);
    setText(a, articleField("BSTN"), bstn);
    ok(DbWriteRecord(a));
    ok(DbCloseTable(a));
}

bool CheckData::seekArticle(DBHANDLE table, int id) const {
    DBHANDLE byId = 0;
    ok(DbGetIndexHandle(table, "ID", &byId));
    const QByteArray key = QByteArray::number(id);
    uint16_t found = 0;
    ok(DbSeek(byId, reinterpret_cast<const uint8_t *>(key.constData()), uint16_t(key.size()),
              DB_KEY_TEXT, DB_SEEK_HARD, &found));
    return found != 0;
}

QList<int> CheckData::storedIds() const {
    QList<int> out;
    DBHANDLE a = openTable(articleTable());
    DBHANDLE byId = 0;
    ok(DbGetIndexHandle(a, "ID", &byId));
    ok(DbGotoTop(byId));
    for (;;) {
        uint16_t eof = 0;
        ok(DbAtEOF(a, &eof));
        if (eof)
            break;
        out << text(a, articleField("ID")).toInt();
        ok(DbSkip(byId, 1));
    }
    ok(DbCloseTable(a));
    return out;
}

QString CheckData::storedNumber(int id) const {
    DBHANDLE a = openTable(articleTable());
    const QString out =
        seekArticle(a, id) ? text(a, articleField("BSTN")) : QStringLiteral("<fehlt>");
    ok(DbCloseTable(a));
    return out;
}

void CheckData::addBooking(int articleId) {
    DBHANDLE b = openTable(HostSchema::bookings());
    ok(DbAppendRecord(b));
    setText(b, bookingField("ID_ART"), QString::number(articleId));
    ok(DbWriteRecord(b));
    ok(DbCloseTable(b));
}

void CheckData::renumber(int articleId, const QString &bstn) {
    DBHANDLE a = openTable(articleTable());
    if (seekArticle(a, articleId)) {
        setText(a, articleField("BSTN"), bstn);
        ok(DbWriteRecord(a));
    } else {
        ADD_FAILURE() << "no article " << articleId << " to renumber";
    }
    ok(DbCloseTable(a));
}

void CheckData::addBookingsTheIndexLacks(int articleId, int count) {
    const QByteArray file =
        QFile::encodeName(m_dir.filePath(QString::fromStdString(HostSchema::bookings().fileName)));
    auto run = [&](const QByteArray &sql) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    };
    // For a while the index takes no rows: what is added then is missing from it afterwards.
    const QByteArray index = "'dbe_tag_ID_ART'";
    run("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = sql || ' WHERE 0' "
        "WHERE name = " +
        index);
    QByteArray rows;
    for (int k = 0; k < count; ++k)
        rows += "INSERT INTO dbe_records(ID_ART, MENGE) VALUES(" + QByteArray::number(articleId) +
                ", 1);";
    run(rows);
    run("PRAGMA writable_schema=ON; UPDATE sqlite_master SET sql = substr(sql, 1, length(sql) - "
        "8) WHERE name = " +
        index);
}
