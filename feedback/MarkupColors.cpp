#include "feedback/MarkupColors.h"

namespace {

struct Name {
    const char *name;
    TColor color;
};

constexpr Name kNames[] = {
    {"clblack", clBlack},
    {"clmaroon", clMaroon},
    {"clgreen", clGreen},
    {"clolive", clOlive},
    {"clnavy", clNavy},
    {"clpurple", clPurple},
    {"clteal", clTeal},
    {"clgray", clGray},
    {"clsilver", clSilver},
    {"clred", clRed},
    {"cllime", clLime},
    {"clyellow", clYellow},
    {"clblue", clBlue},
    {"clfuchsia", clFuchsia},
    {"claqua", clAqua},
    {"clwhite", clWhite},
    {"clbackground", clBackground},
    {"clactivecaption", clActiveCaption},
    {"clinactivecaption", clInactiveCaption},
    {"clmenu", clMenu},
    {"clwindow", clWindow},
    {"clwindowframe", clWindowFrame},
    {"clmenutext", clMenuText},
    {"clwindowtext", clWindowText},
    {"clcaptiontext", clCaptionText},
    {"clactiveborder", clActiveBorder},
    {"clinactiveborder", clInactiveBorder},
    {"clappworkspace", clAppWorkSpace},
    {"clhighlight", clHighlight},
    {"clhighlighttext", clHighlightText},
    {"clbtnface", clBtnFace},
    {"clbtnshadow", clBtnShadow},
    {"clgraytext", clGrayText},
    {"clbtntext", clBtnText},
    {"clinactivecaptiontext", clInactiveCaptionText},
    {"clbtnhighlight", clBtnHighlight},
    {"cl3ddkshadow", cl3DDkShadow},
    {"cl3dlight", cl3DLight},
    {"clinfotext", clInfoText},
    {"clinfobk", clInfoBk},
};

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

namespace MarkupColors {

std::optional<TColor> byName(const QString &name) {
    for (const Name &n : kNames) {
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.color;
    }
    return std::nullopt;
}

TColor fromHex(const QString &value) {
    const qsizetype hash = value.indexOf(u'#');
    quint32 v = 0;
    for (qsizetype i = hash + 1; i < value.size() && i <= hash + 6; ++i) {
        const int d = hexDigit(value.at(i));
        if (d < 0)
            break;
        v = (v << 4) | quint32(d);
    }
    return rgbColor(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF));
}

TColor parse(const QString &value) {
    const QString v = value.trimmed();
    if (v.startsWith(u'#'))
        return fromHex(v);
    return byName(v).value_or(clBlack);
}

std::optional<TColor> parseBody(const QString &value) {
    if (value.contains(u'#'))
        return fromHex(value);
    if (value.contains(QLatin1String("CL"), Qt::CaseInsensitive))
        return byName(value.trimmed()).value_or(clBlack);
    return std::nullopt;
}

} // namespace MarkupColors
