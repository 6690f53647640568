#include "TableExport.h"

#include "Csv.h"
#include "EngineSession.h"
#include "HostCommands.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The output, a file (replaced as a whole, TAtomicFile) or the standard output, written in
// blocks.
class Output {
public:
    Output(const QString &file, QIODevice &standardOutput)
        : m_fileName(file), m_device(&standardOutput) {
        if (!file.isEmpty())
            hostErrors([&] { m_file = std::make_unique<TAtomicFile>(file); });
    }

    QByteArray &buffer() { return m_buffer; }
    void flushIfFull() {
        if (m_buffer.size() >= (1 << 20))
            flush();
    }
    void flush() {
        if (m_buffer.isEmpty())
            return;
        if (m_file)
            hostErrors([&] { m_file->Write(m_buffer); });
        else if (m_device->write(m_buffer) != m_buffer.size())
            throw HostError(QStringLiteral("Die Ausgabe kann nicht geschrieben werden: %1")
                                .arg(m_device->errorString()));
        m_buffer.clear();
    }
    // Until this, the file that stood under the name stays as it was (an output not committed
    // is thrown away with its temporary file).
    void finish() {
        flush();
        if (m_file)
            hostErrors([&] { m_file->Commit(); });
        m_file.reset();
    }
    bool toFile() const { return !m_fileName.isEmpty(); }
    const QString &fileName() const { return m_fileName; }

private:
    template <typename F>
    static void hostErrors(F &&f) {
        try {
            f();
        } catch (const EInOutError &e) {
            throw HostError(e.message());
        }
    }

    QString m_fileName;
    std::unique_ptr<TAtomicFile> m_file;
    QIODevice *m_device;
    QByteArray m_buffer;
};

enum class Form { Text, Hex, Bytes, Double };

Form formOf(quint16 type) {
    switch (type) {
    case DB_TYPE_BINARY:
    case DB_TYPE_IMAGE:
        return Form::Hex;
    case DB_TYPE_RAW:
        return Form::Bytes;
    case DB_TYPE_DOUBLE:
    case DB_TYPE_CURDOUBLE:
        return Form::Double;
    default:
        return Form::Text;
    }
}

struct Column {
    quint16 field = 0;
    Form form = Form::Text;
    quint32 length = 0;
};

// The engine's text of a field (DbGetField: numbers, dates and texts in their text forms).
void engineText(DBHANDLE table, quint16 field, std::vector<char> &buffer, quint32 &length) {
    for (;;) {
        length = quint32(buffer.size());
        const DBRESULT r = DbGetField(table, field, buffer.data(), &length, DB_TRIM_RIGHT);
        if (r == DBE_INSUFFICIENT_BUFFER && length >= buffer.size()) {
            buffer.resize(size_t(length) + 1);
            continue;
        }
        checkEngine(r);
        return;
    }
}

void appendField(QByteArray &line, DBHANDLE table, const Column &column, std::vector<char> &buffer,
                 QByteArray &utf8) {
    switch (column.form) {
    case Form::Double: {
        // The shortest text that reads back as the same double: the stored value exactly (the
        // engine's own text has its decimals, two by default).
        quint8 image[8];
        quint32 length = sizeof image;
        checkEngine(DbGetFieldRaw(table, column.field, image, &length));
        double value = 0;
        std::memcpy(&value, image, sizeof value); // the image is little-endian, as this machine
        if (value == 0 && !std::signbit(value))
            return; // 0 is also the empty value, written as nothing
        char text[32];
        const auto end = std::to_chars(text, text + sizeof text, value).ptr;
        line.append(text, end - text);
        return;
    }
    case Form::Hex: {
        quint32 length = 0;
        checkEngine(DbGetBinaryLength(table, column.field, &length));
        if (length == 0)
            return;
        QByteArray data(qsizetype(length), Qt::Uninitialized);
        quint32 got = length;
        checkEngine(
            DbGetBinary(table, column.field, 0, reinterpret_cast<quint8 *>(data.data()), &got));
        data.truncate(got);
        line += data.toHex();
        return;
    }
    case Form::Bytes: {
        QByteArray data(qsizetype(column.length), Qt::Uninitialized);
        quint32 length = column.length;
        checkEngine(
            DbGetFieldRaw(table, column.field, reinterpret_cast<quint8 *>(data.data()), &length));
        if (data.count('\0') == data.size())
            return; // all zero bytes: the empty value
        line += data.toHex();
        return;
    }
    case Form::Text: {
        quint32 length = 0;
        engineText(table, column.field, buffer, length);
        utf8.clear();
        Cp1252::appendUtf8(utf8, buffer.data(), qsizetype(length));
        appendCsvField(line, utf8);
        return;
    }
    }
}

} // namespace

namespace TableExport {

int run(const QString &folder, const QString &tableName, const QString &indexTag,
        const QString &outputFile, QIODevice &standardOutput) {
    useIsoDates();
    EngineConnection connection(folder);
    const QString fileName = HostCommands::tableFileName(tableName);
    EngineTable table(connection, fileName);
    const QList<FieldInfo> fields = table.fields();
    const DBHANDLE order = indexTag.isEmpty() ? table.handle() : table.index(indexTag);
    Output output(outputFile, standardOutput);

    std::vector<Column> columns;
    QByteArray &line = output.buffer();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        columns.push_back(Column{quint16(i + 1), formOf(fields[i].type), fields[i].length});
        if (i > 0)
            line += ',';
        appendCsvField(line, fields[i].name.toUtf8());
    }
    line += '\n';

    qint64 written = 0;
    std::vector<char> buffer(256);
    QByteArray utf8;
    try {
        checkEngine(DbGotoTop(order));
        for (;;) {
            quint16 eof = 0;
            checkEngine(DbAtEOF(table.handle(), &eof));
            if (eof)
                break;
            for (size_t c = 0; c < columns.size(); ++c) {
                if (c > 0)
                    line += ',';
                appendField(line, table.handle(), columns[c], buffer, utf8);
            }
            line += '\n';
            ++written;
            output.flushIfFull();
            checkEngine(DbSkip(order, 1));
        }
        output.finish();
    } catch (const HostError &e) {
        if (output.toFile())
            throw HostError(QStringLiteral("%1 Die Datei '%2' wurde nicht geschrieben.")
                                .arg(e.message(), output.fileName()));
        // What is written stays written; the part of the record being written is not.
        const qsizetype lastLine = line.lastIndexOf('\n');
        line.truncate(lastLine + 1);
        try {
            output.flush();
        } catch (const HostError &) {
        }
        quint32 count = 0;
        const bool counted =
            DbGetRecordCount(table.handle(), DB_IGNORE_FILTERS, &count) == DBE_SUCCESS;
        throw HostError(
            QStringLiteral("%1 Die Ausgabe ist unvollständig: sie endet nach %2%3 Datensätzen.")
                .arg(e.message())
                .arg(written)
                .arg(counted ? QStringLiteral(" von %1").arg(count) : QString()));
    }
    return 0;
}

} // namespace TableExport
