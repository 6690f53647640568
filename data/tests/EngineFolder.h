// A temporary data folder with tables made through the engine's C interface, the way the
// module host makes them (its tables from their one description, HostSchema); the components
// under test then open them by name.
//
// The tests that use it run on both servers: ctest runs them once as they are (a folder of the
// local server) and once as "remote/..." with DUPCHECK_TEST_SERVER set (a data set of its own
// on the throwaway PostgreSQL server).
#pragma once

#include "data/DbServerTypes.h"
#include "dbeng.h"
#include "platform/EnginePath.h"
#include "schema/HostSchema.h"
#include "testsupport/ScratchServer.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>

inline std::string engineLastError() {
    uint32_t number = 0;
    char text[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof text;
    DbGetLastError(&number, text, &len);
    return std::to_string(number) + " " + text;
}

// Engine calls of the set-up must succeed; a failure stops the test with the engine's text.
inline void ok(DBRESULT r) {
    if (r != DBE_SUCCESS)
        throw std::runtime_error("engine call failed: " + engineLastError());
}

struct EngineFolder {
    QTemporaryDir dir;
    QString below;
    QString dataSet; // on the remote server
    DBHANDLE connection = 0;

    static bool remote() { return ScratchServer::inUse(); }
    static uint16_t serverType() { return remote() ? DB_SERVER_REMOTE : DB_SERVER_LOCAL; }
    static TDbServerTypes serverTypes() { return remote() ? stDB_REMOTE : stDB_LOCAL; }

    // The data folder is the temporary folder, or the folder path below it (made here; such a
    // folder is always one of the local server: those tests are about folder names).
    explicit EngineFolder(const QString &below = {}) : below(below) {
        if (remote() && below.isEmpty()) {
            ScratchServer::useIt();
            dataSet = QString::fromStdString(ScratchServer::uniqueDataSet("data"));
        } else if (!below.isEmpty() && !QDir(dir.path()).mkpath(below)) {
            throw std::runtime_error("cannot make the data folder");
        }
        ok(DbConnect(EnginePath::toEngine(path()).constData(),
                     dataSet.isEmpty() ? DB_SERVER_LOCAL : DB_SERVER_REMOTE, "", "",
                     dataSet.isEmpty() ? 0 : DB_CONNECT_CREATE, &connection));
    }
    ~EngineFolder() {
        DbDisconnect(connection);
        if (!dataSet.isEmpty())
            ScratchServer::dropDataSet(dataSet.toStdString());
    }

    QString path() const {
        if (!dataSet.isEmpty())
            return dataSet;
        return below.isEmpty() ? dir.path() : dir.filePath(below);
    }

    DBHANDLE create(const char *file, const char *fields) {
        DBHANDLE table = 0;
        ok(DbCreateTable(connection, file, fields, &table));
        return table;
    }

    void index(DBHANDLE table, const char *tag, const char *fields, bool unique = false) {
        DBHANDLE index = 0;
        ok(DbCreateIndex(table, tag, fields, unique ? DB_INDEX_UNIQUE : 0, &index));
    }

    // Appends one record; values are (field number, text) as DbSetField takes them.
    void append(DBHANDLE table, std::initializer_list<std::pair<uint16_t, const char *>> values) {
        ok(DbAppendRecord(table));
        for (const auto &[field, text] : values)
            ok(DbSetField(table, field, text, uint32_t(strlen(text))));
        ok(DbWriteRecord(table));
    }

    // One of the host's tables with all its fields and index tags, open.
    DBHANDLE createHost(const HostSchema::Table &table) {
        DBHANDLE handle = 0;
        ok(HostSchema::createTable(connection, table, &handle));
        ok(HostSchema::createIndexes(handle, table));
        return handle;
    }

    // The article table of the host with four articles:
    //   ID 1 "Apfel" B-200, ID 2 "Birne" A-100, ID 3 "Kirsche" C-300, ID 4 "Dattel" A-100
    // so the order of the index BSTN is 2, 4, 1, 3.
    void makeArticles() {
        const HostSchema::Table &articles = HostSchema::articles();
        const DBHANDLE t = createHost(articles);
        const uint16_t bzk = articles.fieldNumber("BZK"), bstn = articles.fieldNumber("BSTN");
        append(t, {{bzk, "Apfel"}, {bstn, "B-200"}});
        append(t, {{bzk, "Birne"}, {bstn, "A-100"}});
        append(t, {{bzk, "Kirsche"}, {bstn, "C-300"}});
        append(t, {{bzk, "Dattel"}, {bstn, "A-100"}});
        ok(DbCloseTable(t));
    }
};
