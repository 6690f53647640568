#include "Csv.h"

#include "EngineSession.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

// Big enough that a million short lines take a few hundred reads.
constexpr qint64 kBlock = 1 << 20;

} // namespace

CsvReader::CsvReader(QIODevice &device) : m_device(device) {
    fill();
    if (m_block.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
    // The header decides the separator: ";" when it has one and no ",".
    for (;;) {
        const qsizetype end = m_block.indexOf('\n', m_pos);
        if (end >= 0 || m_atEnd) {
            const QByteArrayView header =
                QByteArrayView(m_block).sliced(m_pos, (end < 0 ? m_block.size() : end) - m_pos);
            if (header.contains(';') && !header.contains(','))
                m_separator = ';';
            return;
        }
        if (!fill())
            return;
    }
}

bool CsvReader::fill() {
    if (m_atEnd)
        return false;
    // What is read stays in the block; only the part before the current position goes.
    m_block.remove(0, m_pos);
    m_pos = 0;
    const qsizetype have = m_block.size();
    m_block.resize(have + kBlock);
    const qint64 got = m_device.read(m_block.data() + have, kBlock);
    if (got < 0)
        throw HostError(QStringLiteral("Zeile %1: Die Datei kann nicht weiter gelesen werden: %2")
                            .arg(m_nextLine)
                            .arg(m_device.errorString()));
    m_block.resize(have + got);
    if (got == 0)
        m_atEnd = true;
    return got > 0;
}

QByteArrayView CsvReader::field(qsizetype i) const {
    const qsizetype begin = i == 0 ? 0 : m_ends[size_t(i - 1)];
    return QByteArrayView(m_record).sliced(begin, m_ends[size_t(i)] - begin);
}

bool CsvReader::next() {
    for (;;) {
        m_record.clear();
        m_ends.clear();
        m_line = m_nextLine;
        bool inQuotes = false;
        bool wasQuoted = false;
        bool any = false;
        auto fieldStart = [&] { return m_record.size() == (m_ends.empty() ? 0 : m_ends.back()); };
        for (;;) {
            if (m_pos >= m_block.size() && !fill()) {
                if (inQuotes)
                    throw HostError(QStringLiteral("Zeile %1: Anführungszeichen nicht geschlossen")
                                        .arg(m_line));
                if (!any)
                    return false; // the end of the file after the last line break
                m_ends.push_back(m_record.size());
                break;
            }
            any = true;
            const char *begin = m_block.constData() + m_pos;
            const char *end = m_block.constData() + m_block.size();
            if (inQuotes) {
                // Up to the next quote: a doubled one stands for one, another ends the field.
                const char *quote = static_cast<const char *>(std::memchr(begin, '"', end - begin));
                const char *stop = quote ? quote : end;
                m_nextLine += int(std::count(begin, stop, '\n'));
                m_record.append(begin, stop - begin);
                m_pos += stop - begin;
                if (!quote)
                    continue;
                ++m_pos;
                if (m_pos >= m_block.size())
                    fill(); // the pair may straddle two blocks
                if (m_pos < m_block.size() && m_block[m_pos] == '"') {
                    m_record += '"';
                    ++m_pos;
                } else {
                    inQuotes = false;
                }
                continue;
            }
            const char *stop = begin;
            while (stop < end && *stop != m_separator && *stop != '"' && *stop != '\n' &&
                   *stop != '\r')
                ++stop;
            if (stop > begin) {
                if (wasQuoted)
                    throw HostError(QStringLiteral("Zeile %1: Text nach dem schließenden "
                                                   "Anführungszeichen")
                                        .arg(m_nextLine));
                m_record.append(begin, stop - begin);
                m_pos += stop - begin;
                continue;
            }
            const char c = *stop;
            ++m_pos;
            if (c == m_separator) {
                m_ends.push_back(m_record.size());
                wasQuoted = false;
            } else if (c == '"') {
                if (wasQuoted)
                    throw HostError(QStringLiteral("Zeile %1: Text nach dem schließenden "
                                                   "Anführungszeichen")
                                        .arg(m_nextLine));
                if (fieldStart())
                    inQuotes = wasQuoted = true;
                else
                    m_record += '"';
            } else {
                if (c == '\r') {
                    if (m_pos >= m_block.size())
                        fill();
                    if (m_pos < m_block.size() && m_block[m_pos] == '\n')
                        ++m_pos;
                }
                ++m_nextLine;
                m_ends.push_back(m_record.size());
                break;
            }
        }
        // Empty lines carry nothing; a file may end with one.
        if (!(m_ends.size() == 1 && m_record.isEmpty() && !wasQuoted))
            return true;
    }
}

void appendCsvField(QByteArray &line, QByteArrayView utf8, char separator) {
    const bool quote =
        !utf8.isEmpty() && (utf8.contains(separator) || utf8.contains('"') || utf8.contains('\n') ||
                            utf8.contains('\r') || utf8.front() == ' ' || utf8.back() == ' ');
    if (!quote) {
        line += utf8;
        return;
    }
    line += '"';
    for (char c : utf8) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

QString csvLine(const QStringList &fields, char separator) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += separator;
        appendCsvField(line, fields[i].toUtf8(), separator);
    }
    return QString::fromUtf8(line);
}
