#include "feedback/MarkupText.h"

namespace {

struct Entity {
    const char16_t *name;
    const char16_t *replacement;
};

// Characters of the Windows-1252 code page in which the host's texts are held.
constexpr Entity kWholeTextEntities[] = {
    {u"&amp;", u"&&"},        {u"&quot;", u"\""},      {u"&sect;", u"\u00A7"},
    {u"&permil;", u"\u2030"}, {u"&reg;", u"\u00AE"},   {u"&copy;", u"\u00A9"},
    {u"&para;", u"\u00B6"},   {u"&trade;", u"\u2122"}, {u"&euro;", u"\u20AC"},
};

} // namespace

namespace MarkupText {

QString upper(const QString &text) {
    QString result = text;
    for (QChar &c : result)
        c = c.toUpper();
    return result;
}

QString replaceEntities(const QString &text) {
    if (!text.contains(u'&'))
        return text;
    QString result = text;
    bool replaced = true;
    // Each replacement shortens the text, so the loop ends.
    while (replaced) {
        replaced = false;
        for (const Entity &e : kWholeTextEntities) {
            const QString name = QString::fromUtf16(e.name);
            if (result.contains(name, Qt::CaseInsensitive)) {
                result.replace(name, QString::fromUtf16(e.replacement), Qt::CaseInsensitive);
                replaced = true;
            }
        }
    }
    return result;
}

QString applyHashForm(const QString &text) {
    QString result = text;
    const qsizetype at = result.indexOf(QLatin1String("<#"));
    if (at < 0)
        return result;
    result.remove(at, 1);
    const qsizetype close = result.indexOf(u'>', at);
    if (close >= 0)
        result.remove(close, 1);
    return result;
}

QString prepare(const QString &text) {
    QString result = applyHashForm(replaceEntities(text));
    result.replace(u'\r', QLatin1String("<BR>"));
    result.remove(u'\n');
    return result;
}

QString replaceRunEntities(const QString &run) {
    if (!run.contains(u'&'))
        return run;
    QString result = run;
    result.replace(QLatin1String("&nbsp;"), QString(QChar(0xA0)), Qt::CaseInsensitive);
    result.replace(QLatin1String("&lt;"), QLatin1String("<"), Qt::CaseInsensitive);
    result.replace(QLatin1String("&gt;"), QLatin1String(">"), Qt::CaseInsensitive);
    return result;
}

ShownRun applyMnemonics(const QString &run) {
    ShownRun shown;
    if (!run.contains(u'&')) {
        shown.text = run;
        return shown;
    }
    shown.text.reserve(run.size());
    for (qsizetype i = 0; i < run.size(); ++i) {
        if (run.at(i) != u'&') {
            shown.text += run.at(i);
            continue;
        }
        if (i + 1 >= run.size())
            break; // a lone "&" at the end shows nothing
        if (run.at(i + 1) == u'&') {
            shown.text += u'&';
            ++i;
            continue;
        }
        shown.underlined.append(int(shown.text.size()));
    }
    return shown;
}

} // namespace MarkupText

QString MarkupToPlainText(const QString &text) {
    QString result = text;
    result.replace(QLatin1String("<BR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    result.replace(QLatin1String("<HR>"), QLatin1String("\r\n"), Qt::CaseInsensitive);
    qsizetype from = 0;
    while (true) {
        const qsizetype open = result.indexOf(u'<', from);
        if (open < 0)
            break;
        const qsizetype close = result.indexOf(u'>', open);
        if (close < 0)
            break;
        result.remove(open, close - open + 1);
        from = open;
    }
    return result;
}
