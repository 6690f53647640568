#include "SettingsCommands.h"

#include "EngineSession.h"
#include "SettingsDump.h"

#include "data/DbConnection.h"
#include "data/DbTable.h"
#include "data/Field.h"
#include "platform/Convert.h"
#include "platform/Exception.h"
#include "settings/PackedStream.h"
#include "settings/SettingsLoader.h"
#include "settings/SettingsMessages.h"
#include "settings/SettingsStart.h"
#include "settings/TSettings.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

// The settings table of a data folder, opened as the module opens it.
struct SettingsTable {
    TDbConnection connection;
    TDbTable table;

    explicit SettingsTable(const QString &folder) {
        if (!QDir(folder).exists())
            throw HostError(QStringLiteral("Der Ordner %1 existiert nicht.").arg(folder));
        connection.setObjectName(QStringLiteral("DbConnection"));
        connection.SetDbServerTypes(stDB_LOCAL);
        connection.SetConnectPath(folder);
        table.setObjectName(QStringLiteral("DbTableSettings"));
        table.SetDbConnection(&connection);
        table.SetTableName(QStringLiteral("setup.TBL"));
        table.SetIndexName(QStringLiteral("IDENT"));
        try {
            OpenSettingsTable(&table);
        } catch (const Exception &e) {
            throw HostError(e.message());
        }
    }
};

} // namespace

namespace SettingsCommands {

int show(const QString &folder, QTextStream &out) {
    SettingsTable t(folder);
    int shown = 0;
    SetSettingsMessageHandler(
        [&shown](const QString &headline, const QString &detail, const QString &tail) {
            ++shown;
            fprintf(stderr, "%s\n",
                    SettingsMessagePlainText(headline, detail, tail).toLocal8Bit().constData());
        });
    TSettings settings;
    try {
        // The module's start: load, the Ident 1 text, the connect path.
        Load(&settings, &t.table);
        ReadIdent1Text(&settings, &t.table);
        settings.SetConnectPath(folder);
    } catch (const Exception &e) {
        SetSettingsMessageHandler({});
        throw HostError(e.message());
    }
    SetSettingsMessageHandler({});
    SettingsDump::Write(settings, out);
    return shown > 0 ? 1 : 0;
}

int write(const QString &folder, const QString &identText, const QStringList &options,
          QTextStream &out) {
    const auto ident = Convert::toInt(identText);
    if (!ident)
        throw HostError(QStringLiteral("\"%1\" ist keine Ident-Nummer.").arg(identText));
    std::optional<QString> text;
    QString memoFile;
    bool pack = false;
    for (qsizetype i = 0; i < options.size(); ++i) {
        const QString &o = options[i];
        if (o == QLatin1String("--text") && i + 1 < options.size())
            text = options[++i];
        else if (o == QLatin1String("--memo-file") && i + 1 < options.size())
            memoFile = options[++i];
        else if (o == QLatin1String("--pack"))
            pack = true;
        else
            throw HostError(QStringLiteral("Unbekannte Angabe %1").arg(o));
    }
    // The column holds 100 characters; a longer text would be cut without a word.
    if (text && text->size() > 100)
        throw HostError(QStringLiteral("Der Text hat %1 Zeichen; stringItem fasst höchstens 100.")
                            .arg(text->size()));
    if (pack && memoFile.isEmpty())
        throw HostError(QStringLiteral("--pack braucht --memo-file."));
    std::optional<QByteArray> memo;
    if (!memoFile.isEmpty()) {
        QFile f(memoFile);
        if (!f.open(QIODevice::ReadOnly))
            throw HostError(QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2")
                                .arg(memoFile, f.errorString()));
        memo = f.readAll();
        if (pack)
            memo = PackedStream::Pack(*memo);
    }

    SettingsTable t(folder);
    try {
        if (!SelectSettingsIndex(&t.table))
            throw HostError(QStringLiteral("Die Zeile wurde nicht geschrieben."));
        const bool found = t.table.SeekKey(QString::number(*ident), true);
        if (found) {
            t.table.Edit();
        } else {
            t.table.Append();
            t.table.FieldByName(QStringLiteral("Ident"))->SetAsInteger(*ident);
        }
        if (text)
            t.table.FieldByName(QStringLiteral("stringItem"))->SetAsString(*text);
        if (memo)
            t.table.FieldByName(QStringLiteral("MemoItem"))->SetAsBytes(*memo);
        t.table.Post();
        out << QStringLiteral("Ident %1: Zeile %2")
                   .arg(*ident)
                   .arg(found ? QStringLiteral("geändert") : QStringLiteral("angelegt"));
        if (memo)
            out << QStringLiteral(", MemoItem %1 Bytes%2")
                       .arg(memo->size())
                       .arg(pack ? QStringLiteral(" (gepackt)") : QString());
        out << u'\n';
    } catch (const Exception &e) {
        throw HostError(e.message());
    }
    return 0;
}

} // namespace SettingsCommands
