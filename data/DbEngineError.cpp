#include "data/DbEngineError.h"

#include "data/DbDataSet.h"
#include "dbeng.h"
#include "platform/Cp1252.h"

namespace {

// Set while this thread builds an EDbEngineError: a failure met while gathering the details
// must not raise a second one.
thread_local bool t_building = false;

struct BuildGuard {
    BuildGuard() { t_building = true; }
    ~BuildGuard() { t_building = false; }
};

QString textAfter(const QString &text, const QString &start, QChar end) {
    const qsizetype from = text.indexOf(start, 0, Qt::CaseInsensitive);
    if (from < 0)
        return {};
    const qsizetype begin = from + start.size();
    const qsizetype stop = text.indexOf(end, begin);
    return stop < 0 ? text.mid(begin) : text.mid(begin, stop - begin);
}

} // namespace

EDbEngineError::EDbEngineError(const TDbDataSet *dataSet, const QString &text, uint32_t engineError)
    : m_engineError(engineError) {
    BuildGuard guard;
    try {
        if (dataSet) {
            m_dataSetName = dataSet->objectName();
            m_dataSetOwner = dataSet->parent() ? dataSet->parent()->objectName() : QString();
            m_databaseName = dataSet->DatabaseName();
            m_databasePath = dataSet->ResolvedDirectory();
            m_tableName = dataSet->ErrorTableName();
            if (engineError >= 5147 && engineError <= 5149)
                m_columnName = textAfter(text, QStringLiteral("column \""), u'"');
        }
        const QString upper = text.toUpper();
        if (upper.contains(QStringLiteral("ERROR 7200:")) &&
            upper.contains(QStringLiteral("NATIVEERROR = "))) {
            bool ok = false;
            m_sqlErrorCode =
                textAfter(upper, QStringLiteral("NATIVEERROR = "), u';').trimmed().toInt(&ok);
            if (!ok)
                m_sqlErrorCode = 0;
        }
    } catch (const Exception &) {
        // The details are a courtesy; the failure itself must still be reported.
    }
    setMessage(m_dataSetName.isEmpty() ? text : m_dataSetName + QStringLiteral(": ") + text);
}

EDbEngineError::EDbEngineError(const EDbEngineError &other) = default;
EDbEngineError::~EDbEngineError() = default;

void CheckDbResult(const TDbDataSet *dataSet, uint32_t result) {
    if (result == DBE_SUCCESS || t_building)
        return;
    uint32_t number = result;
    char buf[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof buf;
    if (DbGetLastError(&number, buf, &len) != DBE_SUCCESS) {
        number = result;
        buf[0] = 0;
        len = 0;
    }
    throw EDbEngineError(dataSet, Cp1252::toQString(buf, qstrnlen(buf, sizeof buf)), number);
}

void RaiseDbEngineError(const TDbDataSet *dataSet, uint32_t number, const QString &text) {
    throw EDbEngineError(dataSet, text, number);
}

namespace {

DbError fromText(uint32_t result, const char *buf, uint16_t len) {
    if (result != DBE_SUCCESS) {
        DbShowError("Db Exception Error");
        return DbError(QString());
    }
    return DbError(Cp1252::toQString(buf, qstrnlen(buf, len)));
}

} // namespace

DbError DbError::FromLastError() {
    uint32_t number = 0;
    char buf[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof buf;
    const uint32_t r = DbGetLastError(&number, buf, &len);
    return fromText(r, buf, len);
}

DbError DbError::FromCode(uint32_t code) {
    char buf[DB_MAX_ERROR_TEXT + 1] = {};
    uint16_t len = sizeof buf;
    const uint32_t r = DbGetErrorString(code, buf, &len);
    return fromText(r, buf, len);
}
