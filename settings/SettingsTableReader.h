// The row readers of the settings table. A setting is found by seeking its Ident on the
// table's active index (SelectSettingsIndex makes that "Ident"); it counts as present only
// when a row with exactly that Ident exists, and where several rows share it the first in
// index order counts. The cursor moves with every seek, so every read seeks again.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class TDbTable;

class TSettingsTableReader {
public:
    explicit TSettingsTableReader(TDbTable *table) : m_table(table) {}

    TDbTable *Table() const { return m_table; }

    // Whether the row exists; it is then the current record.
    bool Seek(int ident);
    // The row's "stringItem" text (string fields come right-trimmed); nullopt without the row.
    std::optional<QString> Text(int ident);
    // The row's "MemoItem" as text and as lines; nullopt without the row.
    std::optional<QString> Memo(int ident);
    std::optional<QStringList> Lines(int ident);
    // The row's "MemoItem" bytes as stored; nullopt without the row.
    std::optional<QByteArray> Bytes(int ident);

    // The readers the framework names: the text or the default, answering whether the row
    // was found; the lines into list (a missing row clears it only when asked).
    bool ReadText(int ident, const QString &fallback, QString &text);
    bool ReadLines(int ident, QStringList &list, bool clearWhenMissing);
    // The current row's "StringItem" through the float conversion.
    double ReadFloat();

private:
    TDbTable *m_table;
};
