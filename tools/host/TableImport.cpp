#include "TableImport.h"

#include "Csv.h"
#include "EngineSession.h"
#include "HostCommands.h"

#include "platform/Cp1252.h"

#include <QFile>

#include <vector>

namespace {

// How the values of a field cross the file.
enum class Form {
    Text,  // string, ci-string: Windows-1252, at most the field's length
    Memo,  // memo, varchar: Windows-1252, any length
    Hex,   // binary, image: the bytes in hex digits
    Bytes, // raw: the bytes in hex digits, at most the field's length
    Value, // numbers, dates, times, logicals: the engine reads the text
};

Form formOf(quint16 type) {
    switch (type) {
    case DB_TYPE_STRING:
    case DB_TYPE_CISTRING:
        return Form::Text;
    case DB_TYPE_MEMO:
    case DB_TYPE_VARCHAR:
        return Form::Memo;
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
        return Form::Hex;
    case DB_TYPE_RAW:
        return Form::Bytes;
    default:
        return Form::Value;
    }
}

struct Column {
    quint16 field = 0;
    QString name;
    Form form = Form::Value;
    quint32 length = 0;
};

// A value that cannot be stored as given: the reason, for the message.
class Refused {
public:
    explicit Refused(QString reason) : m_reason(std::move(reason)) {}
    const QString &reason() const { return m_reason; }

private:
    QString m_reason;
};

// The Windows-1252 bytes of a text value, exactly.
void toWindows1252(QByteArrayView utf8, QByteArray &out) {
    const Cp1252::Utf8Problem problem = Cp1252::fromUtf8Exactly(utf8, out);
    switch (problem.kind) {
    case Cp1252::Utf8Problem::None:
        break;
    case Cp1252::Utf8Problem::NoCode:
        throw Refused(QStringLiteral("%1 gibt es in Windows-1252 nicht, der Wert kann so nicht "
                                     "gespeichert werden")
                          .arg(Cp1252::describeCharacter(
                              QStringView(QChar::fromUcs4(problem.character)).toString(), 0)));
    case Cp1252::Utf8Problem::NotUtf8:
        throw Refused(QStringLiteral("das Byte 0x%1 an Stelle %2 des Werts ist kein UTF-8 (die "
                                     "Datei muss in UTF-8 gespeichert sein)")
                          .arg(QString::number(problem.byte, 16).toUpper())
                          .arg(problem.offset + 1));
    }
    if (out.contains('\0'))
        throw Refused(QStringLiteral("der Wert enthält ein Nullzeichen"));
}

void fromHex(QByteArrayView text, QByteArray &out) {
    out = QByteArray::fromHex(text.toByteArray());
    if (out.size() * 2 != text.size() || out.toHex() != text.toByteArray().toLower())
        throw Refused(QStringLiteral("kein Hex-Text"));
}

void tooLong(qsizetype length, quint32 most, const char *unit) {
    throw Refused(QStringLiteral("der Wert hat %1 %2, das Feld fasst nur %3")
                      .arg(length)
                      .arg(QLatin1String(unit))
                      .arg(most));
}

// Sets one value of the record being appended. Failures of the engine (a value its type does
// not take) come as HostError with the engine's text.
void setValue(DBHANDLE table, const Column &column, QByteArrayView text, QByteArray &bytes) {
    switch (column.form) {
    case Form::Hex:
        fromHex(text, bytes);
        checkEngine(DbSetBinary(table, column.field,
                                reinterpret_cast<const quint8 *>(bytes.constData()),
                                quint32(bytes.size())));
        return;
    case Form::Bytes:
        fromHex(text, bytes);
        if (bytes.size() > qsizetype(column.length))
            tooLong(bytes.size(), column.length, "Bytes");
        checkEngine(DbSetFieldRaw(table, column.field,
                                  reinterpret_cast<const quint8 *>(bytes.constData()),
                                  quint32(bytes.size())));
        return;
    case Form::Text:
        toWindows1252(text, bytes);
        // Blanks at the end carry nothing in a text field, which is filled up with blanks.
        while (!bytes.isEmpty() && bytes.back() == ' ')
            bytes.chop(1);
        if (bytes.size() > qsizetype(column.length))
            tooLong(bytes.size(), column.length, "Zeichen");
        break;
    case Form::Memo:
    case Form::Value:
        toWindows1252(text, bytes);
        break;
    }
    if (bytes.isEmpty())
        return; // blanks only: the empty value, which a new record has
    checkEngine(DbSetField(table, column.field, bytes.constData(), quint32(bytes.size())));
}

// The lines of the records written so far, by record number. On the remote server a record
// whose key a unique tag has already is refused only when its batch goes to the server: at a
// later record's write or at the commit. The engine then names the refused record, and its
// line is found here, so that the message names the line as on the local server.
class WrittenLines {
public:
    void add(DBHANDLE table, int line) {
        quint32 recno = 0;
        if (remoteServer() && DbGetRecordNum(table, &recno) == DBE_SUCCESS)
            m_written.push_back({recno, line});
    }
    // The line of the record the last failure names; fallback when it names none.
    int lineOfFailure(int fallback) const {
        quint32 recno = 0;
        if (DbGetLastErrorRecord(&recno) != DBE_SUCCESS || recno == 0)
            return fallback;
        // The refused record is among the last batch's: search from the end.
        for (auto it = m_written.rbegin(); it != m_written.rend(); ++it)
            if (it->recno == recno)
                return it->line;
        return fallback;
    }

private:
    struct Written {
        quint32 recno;
        int line;
    };
    std::vector<Written> m_written;
};

} // namespace

namespace TableImport {

int run(const QString &folder, const QString &tableName, const QString &csvFile, QTextStream &out) {
    QFile file(csvFile);
    if (!file.open(QIODevice::ReadOnly))
        throw HostError(QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2")
                            .arg(csvFile, file.errorString()));
    CsvReader reader(file);
    if (!reader.next())
        throw HostError(QStringLiteral("Die Datei '%1' hat keine Kopfzeile.").arg(csvFile));
    useIsoDates();
    EngineConnection connection(folder);
    const QString fileName = HostCommands::tableFileName(tableName);
    EngineTable table(connection, fileName);
    const QList<FieldInfo> fields = table.fields();

    std::vector<Column> columns;
    for (qsizetype i = 0; i < reader.size(); ++i) {
        const QString name = QString::fromUtf8(reader.field(i)).trimmed();
        quint16 n = 0;
        if (DbGetFieldNum(table.handle(), toEngine(name).constData(), &n) != 0)
            throw HostError(
                QStringLiteral("Zeile 1: Das Feld '%1' gibt es in %2 nicht.").arg(name, fileName));
        for (const Column &c : columns) {
            if (c.field == n)
                throw HostError(QStringLiteral("Zeile 1: Das Feld '%1' steht zweimal in der "
                                               "Kopfzeile.")
                                    .arg(name));
        }
        const FieldInfo &info = fields[n - 1];
        columns.push_back(Column{n, info.name, formOf(info.type), info.length});
    }

    // One transaction: a line that fails takes every line before it back with it, and a
    // process ended midway leaves the table as it was.
    checkEngine(DbBeginTransaction(table.handle()));
    qint64 imported = 0;
    QByteArray bytes;
    WrittenLines written;
    try {
        while (reader.next()) {
            const int line = reader.line();
            if (reader.size() != qsizetype(columns.size()))
                throw HostError(QStringLiteral("Zeile %1: %2 Werte statt %3.")
                                    .arg(line)
                                    .arg(reader.size())
                                    .arg(columns.size()));
            checkEngine(DbAppendRecord(table.handle()));
            for (size_t c = 0; c < columns.size(); ++c) {
                const QByteArrayView text = reader.field(qsizetype(c));
                if (text.isEmpty())
                    continue; // the empty value, which a new record has
                try {
                    setValue(table.handle(), columns[c], text, bytes);
                } catch (const Refused &refused) {
                    DbCancelUpdate(table.handle());
                    throw HostError(QStringLiteral("Zeile %1, Feld %2: %3.")
                                        .arg(line)
                                        .arg(columns[c].name, refused.reason()));
                } catch (const HostError &e) {
                    DbCancelUpdate(table.handle());
                    throw HostError(QStringLiteral("Zeile %1: %2").arg(line).arg(e.message()));
                }
            }
            const DBRESULT result = DbWriteRecord(table.handle());
            if (result != DBE_SUCCESS) {
                const int refused = written.lineOfFailure(line);
                try {
                    checkEngine(result);
                } catch (const HostError &e) {
                    DbCancelUpdate(table.handle());
                    throw HostError(QStringLiteral("Zeile %1: %2").arg(refused).arg(e.message()));
                }
            }
            written.add(table.handle(), line);
            ++imported;
        }
        const DBRESULT result = DbCommitTransaction(table.handle());
        if (result != DBE_SUCCESS) {
            const int refused = written.lineOfFailure(0);
            try {
                checkEngine(result);
            } catch (const HostError &e) {
                if (refused == 0)
                    throw;
                throw HostError(QStringLiteral("Zeile %1: %2").arg(refused).arg(e.message()));
            }
        }
    } catch (const HostError &e) {
        DbRollbackTransaction(table.handle());
        throw HostError(e.message() + QStringLiteral(" Aus der Datei wurde nichts übernommen."));
    } catch (...) {
        DbRollbackTransaction(table.handle());
        throw;
    }
    out << QStringLiteral("%1 %2 in %3 importiert\n")
               .arg(imported)
               .arg(imported == 1 ? QStringLiteral("Datensatz") : QStringLiteral("Datensätze"))
               .arg(fileName);
    return 0;
}

} // namespace TableImport
