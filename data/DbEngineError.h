// How engine failures become exceptions.
//
// EDbEngineError carries the engine's error number and what is known of the data set that
// failed; its message is the data set's name, ": " and the engine's (or the component's) text.
// CheckDbResult is the one result check every engine call of the components goes through.
// DbError, DbConnectionError, DbSettingsError and EDbLoginCancelled are the connection and
// settings components' own failures.
#pragma once

#include "platform/Exception.h"

#include <QString>

#include <cstdint>

class TDbDataSet;

class EDbEngineError : public EDatabaseError {
public:
    // dataSet may be nullptr (a failure of the connection, not of a table).
    EDbEngineError(const TDbDataSet *dataSet, const QString &text, uint32_t engineError);
    EDbEngineError(const EDbEngineError &other);
    ~EDbEngineError() override;
    [[noreturn]] void raise() const override { throw *this; }

    uint32_t EngineError() const { return m_engineError; }
    const QString &DataSetName() const { return m_dataSetName; }
    const QString &DataSetOwner() const { return m_dataSetOwner; }
    const QString &DatabaseName() const { return m_databaseName; }
    const QString &DatabasePath() const { return m_databasePath; }
    const QString &TableName() const { return m_tableName; }
    const QString &ColumnName() const { return m_columnName; }
    int32_t SqlErrorCode() const { return m_sqlErrorCode; }

private:
    uint32_t m_engineError = 0;
    QString m_dataSetName;
    QString m_dataSetOwner;
    QString m_databaseName;
    QString m_databasePath;
    QString m_tableName;
    QString m_columnName;
    int32_t m_sqlErrorCode = 0;
};

DUPCHECK_EXCEPTION_CLASS(DbConnectionError, Exception)
DUPCHECK_EXCEPTION_CLASS(DbSettingsError, Exception)
// The user cancelled the login prompt: the connection was given up. Its text names the
// component ("Cannot connect to database '<name>'"); a caller that talks to the user tells
// the cancel apart by this class.
DUPCHECK_EXCEPTION_CLASS(EDbLoginCancelled, EDatabaseError)

class DbError : public Exception {
public:
    using Exception::Exception;
    [[noreturn]] void raise() const override { throw *this; }
    // The engine's text of its last error.
    static DbError FromLastError();
    // The engine's text for an error number.
    static DbError FromCode(uint32_t code);
};

// Does nothing for 0; otherwise raises EDbEngineError with the engine's last error (number and
// text). Also does nothing while this thread is building an EDbEngineError.
void CheckDbResult(const TDbDataSet *dataSet, uint32_t result);
// The components' own failures (number 5121 and the like) as EDbEngineError.
[[noreturn]] void RaiseDbEngineError(const TDbDataSet *dataSet, uint32_t number,
                                     const QString &text);
