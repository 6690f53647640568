// The framework's process-wide settings object. It is created on first use by the settings
// accessor Settings() and lives until the program ends. The module writes three values into it
// itself: the connect path with the data-path tag derived from it, and the text of the settings
// row with Ident 1.
#pragma once

#include <QPointer>
#include <QString>

class TDbTable;

class TSettings {
public:
    TSettings();
    ~TSettings();
    TSettings(const TSettings &) = delete;
    TSettings &operator=(const TSettings &) = delete;

    // The settings table the loader last read (not owned).
    TDbTable *Table() const;
    void SetTable(TDbTable *table);

    const QString &ConnectPath() const { return m_connectPath; }
    const QString &DataPathTag() const { return m_dataPathTag; }
    // Stores the connect path, derives the data-path tag and copies the tag into the
    // process-wide data-path tag variable.
    void SetConnectPath(const QString &path);

    const QString &Ident1Text() const { return m_ident1Text; }
    void SetIdent1Text(const QString &text) { m_ident1Text = text; }

private:
    QPointer<TDbTable> m_table;
    QString m_connectPath;
    QString m_dataPathTag;
    QString m_ident1Text;
};

// The settings accessor: the one TSettings, created on the first call.
TSettings *Settings();

// The process-wide data-path tag; empty until SetConnectPath runs.
QString DataPathTag();

// The tag for a connect path: the last folder name of the path, at most 30 characters, with
// the characters that cannot stand in a tag replaced by "_". Both "\" and "/" separate folders.
QString DataPathTagFromPath(const QString &path);
