#include "platform/Colors.h"

#include "platform/Convert.h"

#include <array>

namespace {

// The classic desktop scheme's defaults, indices 0 to 30.
constexpr std::array<TColor, SYSTEM_COLOR_COUNT> kSystemColors = {
    rgbColor(212, 208, 200), // scroll bar
    rgbColor(58, 110, 165),  // desktop
    rgbColor(10, 36, 106),   // active caption
    rgbColor(128, 128, 128), // inactive caption
    rgbColor(212, 208, 200), // menu
    rgbColor(255, 255, 255), // window
    rgbColor(0, 0, 0),       // window frame
    rgbColor(0, 0, 0),       // menu text
    rgbColor(0, 0, 0),       // window text
    rgbColor(255, 255, 255), // caption text
    rgbColor(212, 208, 200), // active border
    rgbColor(212, 208, 200), // inactive border
    rgbColor(128, 128, 128), // application workspace
    rgbColor(10, 36, 106),   // highlight
    rgbColor(255, 255, 255), // highlight text
    rgbColor(212, 208, 200), // button face
    rgbColor(128, 128, 128), // button shadow
    rgbColor(128, 128, 128), // gray text
    rgbColor(0, 0, 0),       // button text
    rgbColor(212, 208, 200), // inactive caption text
    rgbColor(255, 255, 255), // button highlight
    rgbColor(64, 64, 64),    // 3-D dark shadow
    rgbColor(212, 208, 200), // 3-D light
    rgbColor(0, 0, 0),       // info text
    rgbColor(255, 255, 225), // info background
    rgbColor(181, 181, 181), // (unused index 25)
    rgbColor(0, 0, 128),     // hot light
    rgbColor(166, 202, 240), // gradient active caption
    rgbColor(192, 192, 192), // gradient inactive caption
    rgbColor(10, 36, 106),   // menu highlight
    rgbColor(212, 208, 200), // menu bar
};

struct Ident {
    const char *name;
    TColor color;
};

constexpr Ident kIdents[] = {
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clLtGray", clSilver},
    {"clDkGray", clGray},
    {"clNone", clNone},
    {"clDefault", clDefault},
    {"clScrollBar", clScrollBar},
    {"clBackground", clBackground},
    {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption},
    {"clMenu", clMenu},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clMenuText", clMenuText},
    {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText},
    {"clActiveBorder", clActiveBorder},
    {"clInactiveBorder", clInactiveBorder},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace},
    {"clBtnShadow", clBtnShadow},
    {"clGrayText", clGrayText},
    {"clBtnText", clBtnText},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText},
    {"clInfoBk", clInfoBk},
    {"clHotLight", clHotLight},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuBar", clMenuBar},
};

} // namespace

namespace Colors {

TColor systemColorRGB(int index) {
    if (index < 0 || index >= SYSTEM_COLOR_COUNT)
        return clBlack;
    return kSystemColors[index];
}

TColor toRGB(TColor color) {
    if (isSystemColor(color))
        return systemColorRGB(int(quint32(color) & 0xFF));
    return color;
}

QColor toQColor(TColor color) {
    const quint32 c = quint32(toRGB(color));
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor fromQColor(const QColor &color) {
    return rgbColor(color.red(), color.green(), color.blue());
}

std::optional<TColor> identToColor(const QString &ident) {
    for (const Ident &i : kIdents) {
        if (ident.compare(QLatin1String(i.name), Qt::CaseInsensitive) == 0)
            return i.color;
    }
    return std::nullopt;
}

QString colorToIdent(TColor color) {
    for (const Ident &i : kIdents) {
        if (i.color == color)
            return QLatin1String(i.name);
    }
    return {};
}

std::optional<TColor> stringToColor(const QString &text) {
    if (auto c = identToColor(text))
        return c;
    return Convert::toInt(text);
}

} // namespace Colors
