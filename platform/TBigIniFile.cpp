#include "platform/TBigIniFile.h"

#include "platform/Convert.h"
#include "platform/Cp1252.h"
#include "platform/Exception.h"
#include "platform/Paths.h"

#include <QFile>
#include <QStringDecoder>

namespace {

[[noreturn]] void unreadable(const QString &path, const QString &why) {
    throw EInOutError(QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden: %2")
                          .arg(Paths::normalize(path), why));
}

QString fold(const QString &name) {
    return name.toCaseFolded();
}

} // namespace

TBigIniFile::TBigIniFile(const QString &fileName) : m_fileName(fileName) {
    Load(Paths::findIgnoringCase(fileName));
}

void TBigIniFile::Load(const QString &path) {
    QFile file(path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        unreadable(path, QStringLiteral("sie lässt sich nicht öffnen."));
    m_exists = true;
    bool utf8 = false;
    qsizetype current = -1; // the section the lines belong to; -1 before the first one and
                            // under a repeated section header
    for (qsizetype number = 1; !file.atEnd(); ++number) {
        // Room for the longest line and its CR LF; a longer one shows by its missing LF.
        QByteArray bytes = file.readLine(MaxLineBytes + 3);
        if (file.error() != QFileDevice::NoError)
            unreadable(path, QStringLiteral("Lesefehler in Zeile %1.").arg(number));
        const bool complete = bytes.endsWith('\n');
        if (complete)
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        if ((!complete && !file.atEnd()) || bytes.size() > MaxLineBytes)
            unreadable(path, QStringLiteral("die Zeile %1 ist länger als 64 KB.").arg(number));
        if (bytes.contains('\0'))
            unreadable(path, QStringLiteral("die Zeile %1 enthält ein Nullbyte; die Datei ist "
                                            "keine Windows-1252-Textdatei.")
                                 .arg(number));
        if (number == 1 && bytes.startsWith("\xEF\xBB\xBF")) {
            utf8 = true;
            bytes.remove(0, 3);
        }
        QString text;
        if (utf8) {
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            text = decoder.decode(bytes);
            if (decoder.hasError())
                unreadable(path,
                           QStringLiteral("die Zeile %1 ist kein gültiges UTF-8.").arg(number));
        } else {
            text = Cp1252::toQString(bytes);
        }

        const QString line = Convert::trim(text);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = Convert::trim(close < 0 ? line.mid(1) : line.mid(1, close - 1));
            const QString folded = fold(name);
            if (m_sectionIndex.contains(folded)) {
                current = -1;
                continue;
            }
            current = m_sections.size();
            m_sectionIndex.insert(folded, current);
            m_sections.append(Section{name, {}, {}});
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current < 0 || equals < 0)
            continue;
        const QString key = Convert::trim(line.left(equals));
        if (key.isEmpty())
            continue;
        Section &section = m_sections[current];
        const QString folded = fold(key);
        if (section.values.contains(folded))
            continue;
        section.keys.append(key);
        section.values.insert(folded, Convert::trim(line.mid(equals + 1)));
    }
}

const TBigIniFile::Section *TBigIniFile::FindSection(const QString &section) const {
    const auto it = m_sectionIndex.constFind(fold(Convert::trim(section)));
    return it == m_sectionIndex.constEnd() ? nullptr : &m_sections[*it];
}

const QString *TBigIniFile::FindValue(const QString &section, const QString &key) const {
    const Section *s = FindSection(section);
    if (!s)
        return nullptr;
    const auto it = s->values.constFind(fold(Convert::trim(key)));
    return it == s->values.constEnd() ? nullptr : &*it;
}

QString TBigIniFile::ReadString(const QString &section, const QString &key,
                                const QString &def) const {
    const QString *value = FindValue(section, key);
    return value ? *value : def;
}

qint32 TBigIniFile::ReadInteger(const QString &section, const QString &key, qint32 def) const {
    const QString *value = FindValue(section, key);
    return value ? Convert::toIntDef(*value, def) : def;
}

bool TBigIniFile::ReadBool(const QString &section, const QString &key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::optional<TColor> TBigIniFile::ReadColor(const QString &section, const QString &key,
                                             const QString &defText) const {
    return Colors::stringToColor(ReadString(section, key, defText));
}

bool TBigIniFile::SectionExists(const QString &section) const {
    return FindSection(section) != nullptr;
}

bool TBigIniFile::ValueExists(const QString &section, const QString &key) const {
    return FindValue(section, key) != nullptr;
}

QStringList TBigIniFile::ReadSections() const {
    QStringList names;
    names.reserve(m_sections.size());
    for (const Section &s : m_sections)
        names.append(s.name);
    return names;
}

QStringList TBigIniFile::ReadSection(const QString &section) const {
    const Section *s = FindSection(section);
    return s ? s->keys : QStringList();
}
