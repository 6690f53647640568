// TDbSettings: the engine's process-wide defaults (date format, decimals, deleted records,
// server types, caches). One instance per process; creating a second raises. Each setter calls
// the engine at once and raises DbError with the engine's text when the engine refuses.
//
// With SetLocaleDate on, DateFormat also becomes the process's short date format (C and Y
// turned into y, so "DD.MM.YYYY" gives DD.MM.yyyy) and its first separator the date separator.
#pragma once

#include "data/DbServerTypes.h"

#include <QObject>
#include <QString>

class TDbSettings : public QObject {
    Q_OBJECT
public:
    explicit TDbSettings(QObject *owner = nullptr);
    ~TDbSettings() override;

    // The instance of the process, or nullptr.
    static TDbSettings *Instance();

    const QString &DateFormat() const { return m_dateFormat; }
    void SetDateFormat(const QString &format);
    qint8 NumDecimals() const { return m_numDecimals; }
    void SetNumDecimals(qint8 decimals);
    bool SetLocaleDate() const { return m_setLocaleDate; }
    void SetSetLocaleDate(bool on);
    bool ShowDeleted() const { return m_showDeleted; }
    void SetShowDeleted(bool show);
    TDbServerTypes DbServerTypes() const { return m_serverTypes; }
    void SetDbServerTypes(TDbServerTypes types);
    qint8 NumCachedTables() const { return m_numCachedTables; }
    void SetNumCachedTables(qint8 count);
    qint8 NumCachedCursors() const { return m_numCachedCursors; }
    void SetNumCachedCursors(qint8 count);

    // While a window description is being applied: SetLocaleDate False then restores the
    // short date format that DateFormat replaced.
    void BeginLoad() { m_loading = true; }
    void EndLoad() { m_loading = false; }

private:
    QString m_dateFormat;
    QString m_previousShortDateFormat;
    bool m_hasPreviousShortDateFormat = false;
    qint8 m_numDecimals = 0;
    bool m_setLocaleDate = true;
    bool m_showDeleted = false;
    TDbServerTypes m_serverTypes;
    qint8 m_numCachedTables = 0;
    qint8 m_numCachedCursors = 0;
    bool m_loading = false;
};
