#include "feedback/EscapeMarkup.h"

QString EscapeMarkup(const QString &text) {
    QString result;
    result.reserve(text.size() + text.size() / 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'<':
            result += QLatin1String("&lt;");
            break;
        case u'>':
            result += QLatin1String("&gt;");
            break;
        case u'&':
            // Two ampersands show one. The empty unknown tag after them keeps the next letters
            // from forming an entity with them ("&lt;" in the text must stay "&lt;").
            result += QLatin1String("&&<X>");
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += QLatin1String("<BR>");
            break;
        case u'\n':
            result += QLatin1String("<BR>");
            break;
        default:
            result += c;
        }
    }
    return result;
}
