// Shared set-up of the markup tests: a fixed font (Tahoma from fonts-wine, 11 pixels, the
// message box's font), so that every width and height comes from one known font and not
// from whatever the desktop has.
#pragma once

#include "feedback/MarkupLayout.h"
#include "feedback/TextMetrics.h"
#include "platform/ui/Fonts.h"

#include <QFontMetrics>
#include <QStringList>

#include <gtest/gtest.h>

class MarkupFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Fonts::setup(); }
    void SetUp() override {
        if (!Fonts::tahomaAvailable())
            GTEST_SKIP() << "Tahoma from fonts-wine is not installed";
    }

    static QFont labelFont(bool bold = false) { return Fonts::make("Tahoma", -11, bold); }
    static int width(const QString &text, bool bold = false) {
        return QFontMetrics(labelFont(bold)).horizontalAdvance(text);
    }
    static int gh() { return TextMetrics::lineHeight(labelFont()); }
    // The width a line of words takes as the layout measures it: word by word, each with its
    // blank, without the blank at the end of the line.
    static int lineWidth(const QString &line, bool bold = false) {
        int w = 0;
        QString rest = line;
        while (!rest.isEmpty()) {
            const qsizetype blank = rest.indexOf(u' ');
            const QString word = blank < 0 ? rest : rest.left(blank + 1);
            w += width(word, bold);
            rest = rest.mid(word.size());
        }
        if (line.endsWith(u' '))
            w -= width(QStringLiteral(" "), bold);
        return w;
    }
    // The rectangle width in which exactly `text`, blanks and all, fits on a line (the layout
    // starts one pixel in and wants the line to end before the right edge).
    static int widthFitting(const QString &text) {
        const int blank = text.endsWith(u' ') ? width(QStringLiteral(" ")) : 0;
        return 1 + lineWidth(text) + blank + 1;
    }

    static MarkupRequest request(const QString &text, int rectWidth,
                                 MarkupHost host = MarkupHost::MarkupLabel) {
        MarkupRequest r;
        r.text = text;
        r.rect = QRect(0, 0, rectWidth, 1000);
        r.draw = false;
        r.font = labelFont();
        r.host = host;
        return r;
    }
    static MarkupLayout measure(const QString &text, int rectWidth = 1000,
                                MarkupHost host = MarkupHost::MarkupLabel) {
        return LayoutMarkup(request(text, rectWidth, host));
    }
    static QStringList lineTexts(const MarkupLayout &layout) {
        QStringList texts;
        for (const MarkupLine &line : layout.lines)
            texts << line.text;
        return texts;
    }
    static QList<MarkupRunItem> runs(const MarkupLayout &layout) {
        QList<MarkupRunItem> result;
        for (const MarkupItem &item : layout.items) {
            if (const auto *run = std::get_if<MarkupRunItem>(&item))
                result << *run;
        }
        return result;
    }
};
