// TBigIniFile: the reader of the host's INI files (the workstation settings file, the colour
// scheme index), with the rules of the Windows profile functions the host writes them with:
//
//  - The file is Windows-1252 text; lines end in CR LF or LF. A file that starts with the
//    UTF-8 byte order mark is read as UTF-8 (an editor may have saved it so).
//  - "[name]" starts a section; "key=value" lines belong to the section above them, lines
//    before the first section and lines without "=" are ignored, and so are comment lines,
//    whose first character other than a blank is ";". A ";" after a value is part of it.
//  - Blanks (and control characters) around section names, keys and values are removed; no
//    other change is made to a value (quotes stay).
//  - Sections and keys are matched without regard to case, and the first occurrence counts:
//    a key repeated in its section is not seen, and neither is a section header repeated
//    further down with the keys under it (the Windows functions stop at the first match).
//  - The file is looked up in its folder without regard to letter case (the host writes it
//    on a case-insensitive file system). A missing file reads as an empty one: every read
//    gives its default.
//
// The file is read once, in the constructor. A file that exists but cannot be read as text
// raises EInOutError with a German text that names it: an I/O failure, a line longer than
// 64 KB, a zero byte (a UTF-16 file or no text at all), a UTF-8 file with invalid bytes.
#pragma once

#include "platform/Colors.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class TBigIniFile {
public:
    // Longest line accepted, in bytes without its line end.
    static constexpr qsizetype MaxLineBytes = 64 * 1024;

    explicit TBigIniFile(const QString &fileName);

    // The name as given to the constructor.
    const QString &FileName() const { return m_fileName; }
    // Whether an existing file was read (false for a missing one).
    bool FileExists() const { return m_exists; }

    // The value (possibly empty) of the first key of that name, or def when there is none.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    // A whole number, decimal or hexadecimal after "$" (or "0x"), with an optional sign;
    // def when the key is missing or its value is no such number (also when it is empty).
    qint32 ReadInteger(const QString &section, const QString &key, qint32 def) const;
    // Read as a number: 0 is false, any other number true ("1"/"0" as the host writes them);
    // def when the key is missing or its value is no number ("true", "ja", "").
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    // The value (or defText when the key is missing) as a colour text: a colour identifier
    // ("clBtnFace", any case) or a whole number (decimal, or hexadecimal after "$"). nullopt
    // when the text is neither, so that the caller can tell an invalid colour from any colour.
    std::optional<TColor> ReadColor(const QString &section, const QString &key,
                                    const QString &defText) const;

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    // Section names and the keys of one section, as written and in file order, each once.
    QStringList ReadSections() const;
    QStringList ReadSection(const QString &section) const;

private:
    struct Section {
        QString name;
        QStringList keys;               // as written, in file order
        QHash<QString, QString> values; // by folded key
    };

    void Load(const QString &path);
    const Section *FindSection(const QString &section) const;
    const QString *FindValue(const QString &section, const QString &key) const;

    QString m_fileName;
    bool m_exists = false;
    QList<Section> m_sections;
    QHash<QString, qsizetype> m_sectionIndex; // folded name -> position in m_sections
};
