#include "feedback/MarkupLayout.h"

#include "feedback/MarkupAttributes.h"
#include "feedback/MarkupColors.h"
#include "feedback/MarkupText.h"
#include "feedback/ShellIcons.h"
#include "feedback/TImageList.h"
#include "feedback/TPictureCache.h"
#include "feedback/TPictureContainer.h"
#include "feedback/TextMetrics.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

using MarkupAttributes::leadingNumber;
using MarkupAttributes::quotedAfter;
using Quantity = MarkupAttributes::Quantity;

constexpr int kListIndent = 12;

// The part of the layout state that a line's measuring pass changes and that is put back
// before the positioning pass repeats the same changes.
struct Style {
    QFont font;
    TColor color = clBlack;
    TColor background = clNone;
    bool shadow = false;
    bool subscript = false;
    bool superscript = false;
    bool errorMark = false;
    bool hidden = false;
    int listLevel = 0;
    int linkCount = 0;
    bool inLink = false;
    int linkNumber = 0;
    QString linkTarget;
    TColor backgroundBeforeLink = clNone;
    TColor backgroundBeforeFont = clNone;
    TColor colorBeforeHighlight = clBlack;
    TColor backgroundBeforeHighlight = clNone;
    TColor backgroundBeforeParagraph = clNone;
    TColor paragraphBackground = clNone;
    QFont fontBeforeRotation;
    qreal angle = 0;
};

struct Line {
    int height = 0;
    int subExtra = 0;
    int superExtra = 0;
    int pictureOffset = 0;
    int width = 0;
    int lastBlank = 0; // width of the blank that ends the last run
    QString placed;    // what stands on the line so far, for the wrap rule
    QString shown;     // what the line shows, for the result
    int runs = 0;
    int listItems = 0;
    bool breakPending = false;
    bool rule = false;
    TColor band = clNone;
    bool gradient = false;
    TColor gradientTo = clNone;
};

enum class Alignment { Left, Right, Center };

struct TagEffect {
    bool consumed = true;
    bool endsLine = false;
};

QChar charAt(const QString &s, qsizetype i) {
    return i >= 0 && i < s.size() ? s.at(i) : QChar();
}

int textWidth(const QFontMetrics &fm, const QString &text) {
    if (!text.contains(u'\t'))
        return fm.horizontalAdvance(text);
    const int tab = std::max(1, 8 * fm.averageCharWidth());
    int x = 0;
    const QStringList parts = text.split(u'\t');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        x += fm.horizontalAdvance(parts.at(i));
        if (i + 1 < parts.size())
            x = (x / tab + 1) * tab;
    }
    return x;
}

class Layouter {
public:
    explicit Layouter(const MarkupRequest &request) : m_req(request) {}
    MarkupLayout run();

private:
    qsizetype limit(bool measuring) const { return measuring ? m_text.size() : m_lineEnd; }
    qsizetype processLine(qsizetype pos, bool measuring);
    qsizetype cutRun(qsizetype pos, qsizetype end) const;
    enum class RunFit { NotPlaced, Placed, Overflowing };
    RunFit placeRun(const QString &raw, bool measuring);
    TagEffect applyTag(const QString &tag, bool measuring);
    TagEffect applyOpeningTag(const QString &tag, const QString &upperTag, bool measuring);
    TagEffect applyClosingTag(const QString &upperTag);
    TagEffect placePicture(const QString &tag, const QString &upperTag, bool measuring);
    TagEffect placeListItem(bool measuring);
    void applyParagraph(const QString &upperTag);
    void applyFont(const QString &upperTag);
    void applyLinkStyle();
    void restoreLabelFontColor() { m_style.color = m_req.fontColor; }
    QPixmap picture(const QString &source) const;
    void noteLinkArea(const QRect &area);
    void push(MarkupItem item) {
        if (m_req.draw)
            m_out.items.append(std::move(item));
    }
    int lineX() const { return m_lineX; }
    int available() const { return m_right - (m_leftStart + m_indent); }
    int textBottom() const {
        return m_top + m_line.superExtra + m_line.height - m_line.pictureOffset;
    }

    const MarkupRequest &m_req;
    QString m_text;
    Style m_style;
    Line m_line;
    Alignment m_alignment = Alignment::Left;
    int m_indent = 0;
    int m_leftStart = 0;
    int m_right = 0;
    int m_top = 0;
    int m_lineX = 0;
    qsizetype m_lineEnd = 0;
    // The widths the measuring pass found, in run order, so that the positioning pass does not
    // shape the same runs a second time.
    QList<int> m_runWidths;
    qsizetype m_nextRunWidth = 0;
    QList<MarkupItem> m_backgrounds; // BODY fills and tiles, painted before everything
    MarkupLayout m_out;
};

MarkupLayout Layouter::run() {
    m_text = MarkupText::prepare(m_req.text);
    m_leftStart = m_req.rect.left() + 1;
    m_right = m_req.rect.left() + m_req.rect.width();
    m_top = m_req.rect.top();
    const int rectBottom = m_req.rect.top() + m_req.rect.height();
    m_style.font = m_req.font;
    m_style.color = m_req.fontColor;
    m_style.fontBeforeRotation = m_req.font;

    qsizetype pos = 0;
    while (pos < m_text.size()) {
        // Measuring pass: find what fits on the line, with the fit tests.
        const Style atStart = m_style;
        m_runWidths.clear();
        m_nextRunWidth = 0;
        m_line = Line();
        m_line.height = TextMetrics::lineHeight(m_style.font);
        m_line.band = m_style.paragraphBackground;
        const qsizetype end = processLine(pos, true);
        const Line measured = m_line;
        const int width = std::max(0, measured.width - measured.lastBlank);

        // The alignment and the indent that the line's paragraph tags set stay in force.
        m_lineX = m_leftStart;
        if (m_alignment == Alignment::Right) {
            if (m_right - width > m_leftStart)
                m_lineX = m_right - width;
        } else if (m_alignment == Alignment::Center) {
            const int half = (m_right - m_leftStart - width) / 2;
            if (half > 0)
                m_lineX = m_leftStart + half;
        }
        m_lineX += m_indent;

        // Positioning pass: the same text again from the line's start, placing and painting.
        m_style = atStart;
        m_line = Line();
        m_line.height = measured.height;
        m_line.subExtra = measured.subExtra;
        m_line.superExtra = measured.superExtra;
        m_line.pictureOffset = measured.pictureOffset;
        const int advance = measured.height + measured.subExtra + measured.superExtra;
        if (measured.band != clNone) {
            const QRect band(m_req.rect.left(), m_top, m_req.rect.width(), advance);
            if (measured.gradient && m_req.host == MarkupHost::MarkupLabel)
                push(MarkupGradient{band, measured.band, measured.gradientTo});
            else
                push(MarkupFill{band, measured.band});
        }
        m_lineEnd = end;
        processLine(pos, false);
        if (measured.rule)
            push(MarkupRule{m_lineX, m_right, m_top + advance});

        MarkupLine line;
        line.top = m_top;
        line.height = advance;
        line.x = m_lineX;
        line.width = width;
        line.text = m_line.shown;
        m_out.lines.append(line);
        m_out.maxWidth = std::max(m_out.maxWidth, width);
        m_out.textHeight += advance;
        m_top += advance;

        if (end <= pos)
            break; // cannot happen: every line consumes something; kept as a loop guard
        pos = end;
        if (m_req.draw && rectBottom < m_top + measured.height)
            break; // the next line would not fit: the rest is not drawn
    }
    if (m_out.textHeight == 0)
        m_out.textHeight = TextMetrics::lineHeight(m_req.font);
    if (!m_backgrounds.isEmpty())
        m_out.items = m_backgrounds + m_out.items;
    return std::move(m_out);
}

qsizetype Layouter::processLine(qsizetype pos, bool measuring) {
    while (pos < limit(measuring) && !m_line.breakPending) {
        if (m_text.at(pos) != u'<') {
            const qsizetype runEnd = cutRun(pos, limit(measuring));
            const bool firstRun = m_line.runs == 0;
            const RunFit fit = placeRun(m_text.mid(pos, runEnd - pos), measuring);
            if (fit == RunFit::NotPlaced) {
                m_line.breakPending = true; // the run begins the next line
                break;
            }
            pos = runEnd;
            // Without word wrap an overflowing run is still placed, and nothing follows it.
            if (measuring && fit == RunFit::Overflowing && !firstRun) {
                m_text.truncate(pos);
                break;
            }
            if (pos >= limit(measuring))
                break;
        }
        if (m_text.at(pos) == u'<') {
            qsizetype close = -1;
            if (m_text.size() - pos > 2)
                close = m_text.indexOf(u'>', pos + 1);
            if (close < 0) {
                // A "<" without ">" after it, or at the very end, takes the rest with it.
                if (measuring)
                    m_text.truncate(pos);
                break;
            }
            const TagEffect effect = applyTag(m_text.mid(pos, close - pos + 1), measuring);
            if (!effect.consumed) {
                m_line.breakPending = true;
                break;
            }
            pos = close + 1;
            if (effect.endsLine)
                m_line.breakPending = true;
        }
    }
    return pos;
}

qsizetype Layouter::cutRun(qsizetype pos, qsizetype end) const {
    qsizetype runEnd = m_text.indexOf(u'<', pos);
    if (runEnd < 0 || runEnd > end)
        runEnd = end;
    if (m_req.wordWrap) {
        const qsizetype blank = m_text.indexOf(u' ', pos);
        if (blank >= 0 && blank + 1 < runEnd)
            runEnd = blank + 1;
    }
    return runEnd;
}

Layouter::RunFit Layouter::placeRun(const QString &raw, bool measuring) {
    const MarkupText::ShownRun run =
        MarkupText::applyMnemonics(MarkupText::replaceRunEntities(raw));
    const QFontMetrics fm(m_style.font);
    const int height = TextMetrics::lineHeight(m_style.font);
    if (measuring) {
        if (m_style.subscript)
            m_line.subExtra = std::max(m_line.subExtra, height / 4);
        if (m_style.superscript)
            m_line.superExtra = std::max(m_line.superExtra, height / 4);
        m_line.height = std::max(m_line.height, height);
    }
    if (m_style.hidden)
        return RunFit::Placed;
    int width = 0;
    if (!measuring && m_nextRunWidth < m_runWidths.size())
        width = m_runWidths.at(m_nextRunWidth++);
    else
        width = textWidth(fm, run.text);
    RunFit fit = RunFit::Placed;
    if (measuring) {
        const int newWidth = m_line.width + width;
        const bool fits =
            newWidth < available() || width >= available() || !m_line.placed.endsWith(u' ');
        if (!fits) {
            if (m_req.wordWrap)
                return RunFit::NotPlaced;
            fit = RunFit::Overflowing;
        }
        m_runWidths.append(width);
    }
    const int x = lineX() + m_line.width;
    if (!measuring) {
        int bottom = textBottom();
        if (m_style.superscript)
            bottom -= m_line.superExtra;
        if (m_style.subscript)
            bottom += m_line.subExtra;
        const QRect cell(x, bottom - height, width, height);
        if (m_style.inLink)
            noteLinkArea(cell);
        m_out.plainText += run.text;
        m_line.shown += run.text;
        if (m_req.draw) {
            MarkupRunItem item;
            item.text = run.text;
            item.underlined = run.underlined;
            item.font = m_style.font;
            item.color = m_style.color;
            item.background = m_style.background;
            item.x = x;
            item.bottom = bottom;
            item.right = m_right;
            item.width = width;
            item.height = height;
            item.angle = m_style.angle;
            item.shadow = m_style.shadow;
            item.shadowColor = m_req.shadowColor;
            item.shadowOffset = m_req.shadowOffset;
            item.errorMark = m_style.errorMark;
            item.elide = m_req.elide;
            // The message label leaves a run undrawn where the room is not wider than a "W".
            if (m_req.host == MarkupHost::Sbhtm)
                item.visible = m_right - x > fm.horizontalAdvance(u'W');
            push(std::move(item));
        }
    }
    m_line.width += width;
    m_line.lastBlank = run.text.endsWith(u' ') ? fm.horizontalAdvance(u' ') : 0;
    m_line.placed += run.text;
    ++m_line.runs;
    return fit;
}

void Layouter::noteLinkArea(const QRect &area) {
    m_out.links.append({m_style.linkNumber, m_style.linkTarget, area});
    if (!m_out.linkHit && m_req.testPoint && area.contains(*m_req.testPoint)) {
        m_out.linkHit = true;
        m_out.hitTarget = m_style.linkTarget;
        m_out.hitNumber = m_style.linkNumber;
    }
}

TagEffect Layouter::applyTag(const QString &tag, bool measuring) {
    const QString upperTag = MarkupText::upper(tag);
    if (charAt(tag, 1) == u'/') {
        // "</>" is too short to be a closing tag: an unknown opening tag.
        if (tag.size() < 4)
            return {};
        return applyClosingTag(upperTag);
    }
    return applyOpeningTag(tag, upperTag, measuring);
}

void Layouter::applyLinkStyle() {
    if (!m_req.hover) {
        m_style.font.setUnderline(true);
        m_style.color = m_req.linkColor;
        return;
    }
    if (m_style.linkNumber == m_req.hoverLink) {
        m_style.font.setUnderline(true);
        m_style.color = m_req.hoverFontColor != clNone ? m_req.hoverFontColor : m_req.linkColor;
        if (m_req.hoverColor != clNone)
            m_style.background = m_req.hoverColor;
    } else {
        m_style.font.setUnderline(false);
        m_style.color = m_req.linkColor;
    }
}

TagEffect Layouter::applyOpeningTag(const QString &tag, const QString &upperTag, bool measuring) {
    const QChar c1 = charAt(upperTag, 1);
    const QChar c2 = charAt(upperTag, 2);
    switch (c1.unicode()) {
    case u'A':
        m_style.linkCount += 1;
        m_style.linkNumber = m_style.linkCount;
        m_style.linkTarget = quotedAfter(tag, 0).value_or(QString());
        m_style.inLink = true;
        m_style.backgroundBeforeLink = m_style.background;
        applyLinkStyle();
        return {};
    case u'B':
        if (c2 == u'>') {
            m_style.font.setBold(true);
        } else if (c2 == u'R') {
            if (!measuring)
                m_out.plainText += u'\r';
            return {true, true};
        } else if (c2 == u'L') {
            m_style.color = m_req.backgroundColor;
        } else if (c2 == u'O') {
            if (const auto v = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("BGCOLOR")))) {
                if (const auto color = MarkupColors::parseBody(*v);
                    color && !measuring && m_req.draw)
                    m_backgrounds.append(MarkupFill{m_req.rect, *color});
            }
            if (m_req.host == MarkupHost::MarkupLabel && !measuring && m_req.draw) {
                const auto v = quotedAfter(tag, upperTag.indexOf(QLatin1String("BACKGROUND")));
                if (v) {
                    const QPixmap tile = picture(*v);
                    if (!tile.isNull())
                        m_backgrounds.append(MarkupTile{m_req.rect, tile});
                }
            }
        }
        return {};
    case u'E':
        m_style.errorMark = true;
        return {};
    case u'F':
        applyFont(upperTag);
        return {};
    case u'H':
        if (c2 == u'I') {
            m_style.colorBeforeHighlight = m_style.color;
            m_style.backgroundBeforeHighlight = m_style.background;
            m_style.background = clHighlight;
            m_style.color = clHighlightText;
        } else if (c2 == u'R') {
            m_line.rule = true;
            return {true, true};
        }
        return {};
    case u'I':
        if (c2 == u'>') {
            m_style.font.setItalic(true);
        } else if (c2 == u'N') {
            const auto v = quotedAfter(upperTag, upperTag.indexOf(u'X'));
            const auto n = v ? MarkupAttributes::wholeNumber(*v, Quantity::Distance) : std::nullopt;
            if (n && *n > m_line.width) {
                m_line.width = *n;
                m_line.lastBlank = 0;
            }
        } else if (c2 == u'M') {
            return placePicture(tag, upperTag, measuring);
        }
        return {};
    case u'L':
        return placeListItem(measuring);
    case u'P':
        applyParagraph(upperTag);
        return {};
    case u'R': {
        const auto v = quotedAfter(upperTag, upperTag.indexOf(u'A', 2));
        if (v) {
            m_style.fontBeforeRotation = m_style.font;
            m_style.angle = leadingNumber(v->trimmed(), 0, Quantity::Angle, true);
        }
        return {};
    }
    case u'S':
        if (upperTag.startsWith(QLatin1String("<SUB>")))
            m_style.subscript = true;
        else if (upperTag.startsWith(QLatin1String("<SUP>")))
            m_style.superscript = true;
        else if (c2 == u'>')
            m_style.font.setStrikeOut(true);
        else if (c2 == u'H')
            m_style.shadow = true;
        return {};
    case u'U':
        if (c2 == u'>') {
            m_style.font.setUnderline(true);
            return {};
        }
        m_style.listLevel += 1;
        return {true, m_req.host == MarkupHost::MarkupLabel};
    case u'Z':
        m_style.hidden = true;
        return {};
    default:
        return {}; // unknown: removed without effect
    }
}

TagEffect Layouter::applyClosingTag(const QString &upperTag) {
    const QChar c1 = charAt(upperTag, 2);
    const QChar c2 = charAt(upperTag, 3);
    switch (c1.unicode()) {
    case u'A':
        m_style.inLink = false;
        m_style.font.setUnderline(false);
        restoreLabelFontColor();
        if (m_req.hover)
            m_style.background = m_style.backgroundBeforeLink;
        return {};
    case u'B':
        if (c2 == u'>')
            m_style.font.setBold(false);
        else
            restoreLabelFontColor();
        return {};
    case u'E':
        m_style.errorMark = false;
        return {};
    case u'F':
        m_style.font.setFamily(m_req.font.family());
        if (m_req.font.pixelSize() > 0)
            m_style.font.setPixelSize(m_req.font.pixelSize());
        else
            m_style.font.setPointSizeF(m_req.font.pointSizeF());
        restoreLabelFontColor();
        m_style.background = m_style.backgroundBeforeFont;
        return {};
    case u'H':
        m_style.color = m_style.colorBeforeHighlight;
        m_style.background = m_style.backgroundBeforeHighlight;
        return {};
    case u'I':
        m_style.font.setItalic(false);
        return {};
    case u'L':
        return {true, m_req.host == MarkupHost::MarkupLabel};
    case u'P':
        m_style.paragraphBackground = clNone;
        m_style.background = m_style.backgroundBeforeParagraph;
        return {true, true};
    case u'R':
        m_style.font = m_style.fontBeforeRotation;
        m_style.angle = 0;
        return {};
    case u'S':
        if (c2 == u'H') {
            m_style.shadow = false;
        } else if (c2 == u'U') {
            m_style.subscript = false;
            m_style.superscript = false;
        } else {
            m_style.font.setStrikeOut(false);
        }
        return {};
    case u'U':
        if (c2 == u'>')
            m_style.font.setUnderline(false);
        else if (m_style.listLevel > 0)
            m_style.listLevel -= 1;
        else
            m_style.font.setUnderline(false);
        return {};
    case u'Z':
        m_style.hidden = false;
        return {};
    default:
        return {};
    }
}

void Layouter::applyFont(const QString &upperTag) {
    m_style.backgroundBeforeFont = m_style.background;
    if (const auto face = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("FACE")));
        face && !face->trimmed().isEmpty())
        m_style.font.setFamily(face->trimmed());
    if (const auto color = quotedAfter(upperTag, upperTag.indexOf(QLatin1String(" COLOR"))))
        m_style.color = MarkupColors::parse(*color);
    if (const auto bg = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("BGCOLOR"))))
        m_style.background = MarkupColors::parse(*bg);
    const qsizetype size = upperTag.indexOf(QLatin1String("SIZE"));
    if (size >= 0) {
        const qsizetype equals = upperTag.indexOf(u'=', size);
        if (equals >= 0) {
            const qsizetype quote = upperTag.indexOf(u'"', equals);
            const int n =
                leadingNumber(upperTag, quote >= 0 ? quote + 1 : equals + 1, Quantity::FontPoints);
            static constexpr int kSizes[] = {8, 10, 12, 14, 16};
            const int points = n >= 1 && n <= 5 ? kSizes[n - 1] : n;
            // A size of 0 points would make the text vanish; the size in force stays.
            if (points > 0)
                m_style.font.setPixelSize(std::max(1, int(std::lround(points * m_req.dpi / 72.0))));
        }
    }
}

void Layouter::applyParagraph(const QString &upperTag) {
    if (const auto align = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("ALIGN")))) {
        if (align->contains(QLatin1String("CENTER")))
            m_alignment = Alignment::Center;
        else if (align->contains(QLatin1String("LEFT")))
            m_alignment = Alignment::Left;
        else if (align->contains(QLatin1String("RIGHT")))
            m_alignment = Alignment::Right;
    }
    if (const auto indent = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("INDENT"))))
        m_indent = leadingNumber(indent->trimmed(), 0, Quantity::Distance);
    if (const auto bg = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("BGCOLOR")))) {
        m_style.backgroundBeforeParagraph = m_style.background;
        m_style.paragraphBackground = MarkupColors::parse(*bg);
        m_line.band = m_style.paragraphBackground;
        if (const auto to = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("BGCOLORTO")))) {
            m_line.gradient = true;
            m_line.gradientTo = MarkupColors::parse(*to);
        }
    }
}

TagEffect Layouter::placeListItem(bool measuring) {
    if (m_line.listItems > 0 && measuring)
        return {false, false}; // a second item on the line begins the next line
    ++m_line.listItems;
    // An item outside any list still gets the room and the bullet of the first level.
    const int level = std::max(1, m_style.listLevel);
    m_line.width += kListIndent * level;
    m_line.lastBlank = 0;
    if (!measuring && m_req.draw && !m_style.hidden) {
        const QFontMetrics fm(m_style.font);
        MarkupRunItem bullet;
        bullet.text = level % 2 == 1 ? QString(QChar(0x2022)) : QStringLiteral("o");
        bullet.font = m_style.font;
        bullet.font.setUnderline(false);
        bullet.color = m_style.color;
        bullet.x = lineX() + m_line.width - kListIndent;
        bullet.bottom = textBottom();
        bullet.right = m_right;
        bullet.width = fm.horizontalAdvance(bullet.text);
        bullet.height = TextMetrics::lineHeight(m_style.font);
        push(std::move(bullet));
    }
    return {};
}

QPixmap Layouter::picture(const QString &source) const {
    const QString upperSource = MarkupText::upper(source);
    if (upperSource.startsWith(QLatin1String("IDX:"))) {
        // Only the status label has an image list.
        if (m_req.host != MarkupHost::MarkupLabel || !m_req.pictures.images)
            return {};
        bool ok = false;
        const int index = source.mid(4).trimmed().toInt(&ok);
        return ok ? m_req.pictures.images->Picture(index) : QPixmap();
    }
    if (upperSource.startsWith(QLatin1String("SSYS:")))
        return ShellIcons::icon(source.mid(5), false);
    if (upperSource.startsWith(QLatin1String("LSYS:")))
        return ShellIcons::icon(source.mid(5), true);
    if (m_req.host != MarkupHost::MarkupLabel)
        return {};
    if (source.contains(QLatin1String("://")))
        return m_req.pictures.cache ? m_req.pictures.cache->Get(source) : QPixmap();
    if (!source.contains(u':') && m_req.pictures.container)
        return m_req.pictures.container->Find(source);
    return {};
}

TagEffect Layouter::placePicture(const QString &tag, const QString &upperTag, bool measuring) {
    // SRC keeps its case: file names on this system are case-sensitive.
    const QString source =
        quotedAfter(tag, upperTag.indexOf(QLatin1String("SRC"))).value_or(QString()).trimmed();
    const QPixmap pic = source.isEmpty() ? QPixmap() : picture(source);
    int width = 0;
    int height = 0;
    if (!pic.isNull()) {
        const QSizeF size = pic.deviceIndependentSize();
        width = int(std::lround(size.width() * m_req.dpi / 96.0));
        height = int(std::lround(size.height() * m_req.dpi / 96.0));
        if (m_req.host == MarkupHost::MarkupLabel) {
            const auto w = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("WIDTH")));
            const auto h = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("HEIGHT")));
            const int wantW = w ? leadingNumber(w->trimmed(), 0, Quantity::Distance) : 0;
            const int wantH = h ? leadingNumber(h->trimmed(), 0, Quantity::Distance) : 0;
            if (wantW > 0 && wantH > 0) {
                width = wantW;
                height = wantH;
            }
        }
    }
    if (measuring) {
        const int whole = available();
        if (width > whole - m_line.width && width <= whole)
            return {false, false}; // begins the next line
        m_line.height = std::max(m_line.height, height);
        const auto align = quotedAfter(upperTag, upperTag.indexOf(QLatin1String("ALIGN")));
        if (align) {
            const int gh = TextMetrics::lineHeight(m_style.font);
            const QString a = align->trimmed();
            if (a == QLatin1String("TOP"))
                m_line.pictureOffset = std::max(m_line.pictureOffset, m_line.height - gh);
            else if (a == QLatin1String("MIDDLE"))
                m_line.pictureOffset = std::max(m_line.pictureOffset, (m_line.height - gh) / 2);
        }
    } else if (width > 0 && height > 0) {
        const QRect area(lineX() + m_line.width, m_top + m_line.superExtra + m_line.height - height,
                         width, height);
        if (m_style.inLink)
            noteLinkArea(area);
        push(MarkupPictureItem{area, pic});
    }
    m_line.width += width;
    m_line.lastBlank = 0;
    if (width > 0)
        m_line.placed += u' '; // a line may break after a picture
    return {};
}

} // namespace

MarkupLayout LayoutMarkup(const MarkupRequest &request) {
    return Layouter(request).run();
}
