// Colours as the host's data writes them: a 32-bit value that is either an RGB colour
// 0x00BBGGRR (blue in the high byte) or a reference to a system colour, 0x800000nn for system
// colour index nn. System colours resolve through one table of the classic defaults, which
// stays the same on every desktop so that every window looks as designed.
#pragma once

#include <QColor>
#include <QString>

#include <optional>

using TColor = qint32;

constexpr TColor rgbColor(int red, int green, int blue) {
    return TColor((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr TColor systemColorRef(int index) {
    return TColor(0x80000000u | unsigned(index));
}
constexpr bool isSystemColor(TColor color) {
    return (quint32(color) & 0xFF000000u) == 0x80000000u;
}

// Standard colours.
constexpr TColor clBlack = rgbColor(0, 0, 0);
constexpr TColor clMaroon = rgbColor(128, 0, 0);
constexpr TColor clGreen = rgbColor(0, 128, 0);
constexpr TColor clOlive = rgbColor(128, 128, 0);
constexpr TColor clNavy = rgbColor(0, 0, 128);
constexpr TColor clPurple = rgbColor(128, 0, 128);
constexpr TColor clTeal = rgbColor(0, 128, 128);
constexpr TColor clGray = rgbColor(128, 128, 128);
constexpr TColor clSilver = rgbColor(192, 192, 192);
constexpr TColor clRed = rgbColor(255, 0, 0);
constexpr TColor clLime = rgbColor(0, 255, 0);
constexpr TColor clYellow = rgbColor(255, 255, 0);
constexpr TColor clBlue = rgbColor(0, 0, 255);
constexpr TColor clFuchsia = rgbColor(255, 0, 255);
constexpr TColor clAqua = rgbColor(0, 255, 255);
constexpr TColor clWhite = rgbColor(255, 255, 255);
constexpr TColor clMoneyGreen = rgbColor(192, 220, 192);
constexpr TColor clSkyBlue = rgbColor(166, 202, 240);
constexpr TColor clCream = rgbColor(255, 251, 240);
constexpr TColor clMedGray = rgbColor(160, 160, 164);
constexpr TColor clNone = TColor(0x1FFFFFFF);
constexpr TColor clDefault = TColor(0x20000000);

// System colour indices.
enum SystemColorIndex {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    SYSTEM_COLOR_COUNT = 31
};

constexpr TColor clScrollBar = systemColorRef(COLOR_SCROLLBAR);
constexpr TColor clBackground = systemColorRef(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = systemColorRef(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = systemColorRef(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = systemColorRef(COLOR_MENU);
constexpr TColor clWindow = systemColorRef(COLOR_WINDOW);
constexpr TColor clWindowFrame = systemColorRef(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = systemColorRef(COLOR_MENUTEXT);
constexpr TColor clWindowText = systemColorRef(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = systemColorRef(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = systemColorRef(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = systemColorRef(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = systemColorRef(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = systemColorRef(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = systemColorRef(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = systemColorRef(COLOR_BTNFACE);
constexpr TColor clBtnShadow = systemColorRef(COLOR_BTNSHADOW);
constexpr TColor clGrayText = systemColorRef(COLOR_GRAYTEXT);
constexpr TColor clBtnText = systemColorRef(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = systemColorRef(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = systemColorRef(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = systemColorRef(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = systemColorRef(COLOR_3DLIGHT);
constexpr TColor clInfoText = systemColorRef(COLOR_INFOTEXT);
constexpr TColor clInfoBk = systemColorRef(COLOR_INFOBK);
constexpr TColor clHotLight = systemColorRef(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = systemColorRef(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = systemColorRef(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = systemColorRef(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = systemColorRef(COLOR_MENUBAR);

namespace Colors {

// The RGB value (0x00BBGGRR) of a system colour index; black for an unknown index.
TColor systemColorRGB(int index);
// Resolves a system colour reference to its RGB value; RGB values pass unchanged.
TColor toRGB(TColor color);
QColor toQColor(TColor color);
TColor fromQColor(const QColor &color);

// Colour identifiers ("clBtnFace", "CLWHITE", ...), without regard to case.
std::optional<TColor> identToColor(const QString &ident);
// The identifier of a colour that has one, else an empty text.
QString colorToIdent(TColor color);
// An identifier or a whole number (decimal, or hexadecimal after "$"); nullopt otherwise.
std::optional<TColor> stringToColor(const QString &text);

} // namespace Colors
