#include "data/DbSettings.h"

#include "data/DbEngineError.h"
#include "dbeng.h"
#include "platform/Cp1252.h"
#include "platform/FormatSettings.h"

#include <QMutex>

namespace {

QMutex g_instanceLock;
int g_instanceCount = 0;
TDbSettings *g_instance = nullptr;

void checkSetting(uint32_t result) {
    if (result != DBE_SUCCESS)
        throw DbError::FromCode(result);
}

uint32_t setEngineDateFormat(const QString &format) {
    return DbSetDateFormat(Cp1252::fromQString(format.left(11)).constData());
}

} // namespace

TDbSettings::TDbSettings(QObject *owner) : QObject(owner) {
    {
        QMutexLocker lock(&g_instanceLock);
        if (g_instanceCount > 0)
            throw Exception(
                QStringLiteral("Only one DbSettings component is allowed per application"));
        ++g_instanceCount;
    }
    try {
        m_setLocaleDate = true;
        m_numCachedTables = 0;
        SetNumCachedCursors(25);
        QString format = formatSettings().shortDateFormat;
        if (setEngineDateFormat(format) != DBE_SUCCESS) {
            format = QStringLiteral("MM/dd/ccyy");
            checkSetting(setEngineDateFormat(format));
        }
        m_dateFormat = format.left(12);
        uint16_t decimals = 0;
        checkSetting(DbGetDecimals(&decimals));
        m_numDecimals = qint8(decimals);
        uint16_t show = 0;
        checkSetting(DbGetShowDeleted(&show));
        m_showDeleted = show != 0;
        const TDbServerTypes types = stDB_REMOTE | stDB_INTERNET;
        checkSetting(DbSetServerType(DbServerTypeCode(types)));
        m_serverTypes = types;
    } catch (...) {
        // A settings component that failed to come up must not block the next attempt.
        QMutexLocker lock(&g_instanceLock);
        --g_instanceCount;
        throw;
    }
    QMutexLocker lock(&g_instanceLock);
    g_instance = this;
}

TDbSettings::~TDbSettings() {
    QMutexLocker lock(&g_instanceLock);
    --g_instanceCount;
    if (g_instance == this)
        g_instance = nullptr;
}

TDbSettings *TDbSettings::Instance() {
    QMutexLocker lock(&g_instanceLock);
    return g_instance;
}

void TDbSettings::SetDateFormat(const QString &format) {
    const QString value = format.isEmpty() ? QStringLiteral("MM/dd/ccyy") : format;
    checkSetting(setEngineDateFormat(value));
    m_dateFormat = value.left(12);
    if (!m_setLocaleDate)
        return;
    QString local = m_dateFormat;
    QChar separator;
    for (QChar &c : local) {
        const QChar upper = c.toUpper();
        if (upper == u'C' || upper == u'Y')
            c = u'y';
        else if (separator.isNull() && upper != u'M' && upper != u'D')
            separator = c;
    }
    m_previousShortDateFormat = formatSettings().shortDateFormat;
    m_hasPreviousShortDateFormat = true;
    formatSettings().shortDateFormat = local;
    if (!separator.isNull())
        formatSettings().dateSeparator = separator;
}

void TDbSettings::SetSetLocaleDate(bool on) {
    m_setLocaleDate = on;
    if (!on && m_loading && m_hasPreviousShortDateFormat)
        formatSettings().shortDateFormat = m_previousShortDateFormat;
}

void TDbSettings::SetNumDecimals(qint8 decimals) {
    checkSetting(DbSetDecimals(uint16_t(decimals)));
    m_numDecimals = decimals;
}

void TDbSettings::SetShowDeleted(bool show) {
    checkSetting(DbShowDeleted(show ? 1 : 0));
    m_showDeleted = show;
}

void TDbSettings::SetDbServerTypes(TDbServerTypes types) {
    if (types == m_serverTypes)
        return;
    if (m_serverTypes == TDbServerTypes())
        m_serverTypes = stDB_REMOTE;
    const uint16_t code = DbServerTypeCode(types);
    if (code == 0)
        throw DbSettingsError(QStringLiteral("At least one server type must be selected."));
    checkSetting(DbSetServerType(code));
    m_serverTypes = types;
}

void TDbSettings::SetNumCachedTables(qint8 count) {
    if (count < 0)
        throw Exception(QStringLiteral("NumCachedTables value must be greater than zero."));
    if (count == m_numCachedTables)
        return;
    m_numCachedTables = count;
    checkSetting(DbCacheOpenTables(uint16_t(count)));
}

void TDbSettings::SetNumCachedCursors(qint8 count) {
    if (count < 0)
        throw Exception(QStringLiteral("NumCachedCursors value must be greater than zero."));
    if (count == m_numCachedCursors)
        return;
    m_numCachedCursors = count;
    checkSetting(DbCacheOpenCursors(uint16_t(count)));
}
