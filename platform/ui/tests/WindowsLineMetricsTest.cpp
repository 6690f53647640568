// Tahoma measured as Windows measures it, and the texts of the input dialog drawn whole.
#include "platform/ui/WindowsLineMetrics.h"

#include "platform/ui/Fonts.h"
#include "platform/ui/InputQuery.h"
#include "testsupport/TextInk.h"

#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

const QString kTahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");

quint32 u32(const QByteArray &d, qsizetype at) {
    return qFromBigEndian<quint32>(d.constData() + at);
}
quint16 u16(const QByteArray &d, qsizetype at) {
    return qFromBigEndian<quint16>(d.constData() + at);
}

struct TableEntry {
    quint32 checksum, offset, length;
};
TableEntry table(const QByteArray &d, const char *tag) {
    for (int i = 0; i < u16(d, 4); ++i) {
        const qsizetype r = 12 + 16 * i;
        if (d.mid(r, 4) == QByteArray(tag))
            return {u32(d, r + 4), u32(d, r + 8), u32(d, r + 12)};
    }
    return {};
}
quint32 sum(const QByteArray &d, quint32 offset, quint32 length) {
    QByteArray part = d.mid(offset, length);
    part.append(QByteArray((4 - part.size() % 4) % 4, '\0'));
    quint32 s = 0;
    for (qsizetype i = 0; i < part.size(); i += 4)
        s += u32(part, i);
    return s;
}

QByteArray tahomaFile() {
    QFile file(kTahoma);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(WindowsLineMetrics, TahomaGetsTheWindowsAscentAndDescentInEveryBitmapStrike) {
    const QByteArray original = tahomaFile();
    if (original.isEmpty())
        GTEST_SKIP() << "the Tahoma of fonts-wine is not installed";
    const QByteArray patched = WindowsLineMetrics::apply(original);
    ASSERT_EQ(patched.size(), original.size());

    const TableEntry os2 = table(patched, "OS/2");
    const TableEntry head = table(patched, "head");
    const TableEntry eblc = table(patched, "EBLC");
    ASSERT_NE(eblc.length, 0u);
    EXPECT_EQ(u16(original, os2.offset + 62) & 0x80, 0x80) << "the file asks for typo metrics";
    EXPECT_EQ(u16(patched, os2.offset + 62), u16(original, os2.offset + 62) & ~0x80);

    const int unitsPerEm = u16(patched, head.offset + 18);
    const int winAscent = u16(patched, os2.offset + 74);
    const int winDescent = u16(patched, os2.offset + 76);
    const quint32 strikes = u32(patched, eblc.offset + 4);
    ASSERT_GT(strikes, 0u);
    for (quint32 i = 0; i < strikes; ++i) {
        const qsizetype record = eblc.offset + 8 + 48 * i;
        const int ppem = quint8(patched.at(record + 45));
        SCOPED_TRACE(ppem);
        EXPECT_EQ(qint8(patched.at(record + 16)),
                  std::lround(double(winAscent) * ppem / unitsPerEm));
        EXPECT_EQ(qint8(patched.at(record + 17)),
                  -std::lround(double(winDescent) * ppem / unitsPerEm));
        if (ppem == 11) {
            EXPECT_EQ(qint8(original.at(record + 16)), 9) << "the strike's own, too small ascent";
            EXPECT_EQ(qint8(patched.at(record + 16)), 11);
            EXPECT_EQ(qint8(patched.at(record + 17)), -2);
        }
    }
    // Everything else as it was; the changed tables' checksums and the file's still hold.
    for (qsizetype i = 0; i < patched.size(); ++i) {
        const bool changedTable = (i >= os2.offset && i < os2.offset + os2.length) ||
                                  (i >= eblc.offset && i < eblc.offset + eblc.length) ||
                                  (i >= head.offset + 8 && i < head.offset + 12) ||
                                  (i >= 12 && i < 12 + 16 * u16(patched, 4));
        if (!changedTable && patched.at(i) != original.at(i)) {
            ADD_FAILURE() << "byte " << i << " changed";
            break;
        }
    }
    EXPECT_EQ(os2.checksum, sum(patched, os2.offset, os2.length));
    EXPECT_EQ(eblc.checksum, sum(patched, eblc.offset, eblc.length));
    QByteArray headZero = patched.mid(head.offset, head.length);
    qToBigEndian<quint32>(0, headZero.data() + 8);
    EXPECT_EQ(head.checksum, sum(headZero, 0, head.length));
    EXPECT_EQ(sum(patched, 0, patched.size()), 0xB1B0AFBAu);
}

TEST(WindowsLineMetrics, AnythingButATrueTypeFileComesBackUnchanged) {
    const QByteArray tahoma = tahomaFile();
    for (const QByteArray &data : {QByteArray(), QByteArray("not a font"), QByteArray(200, '\xff'),
                                   tahoma.left(40), tahoma.left(400)}) {
        EXPECT_EQ(WindowsLineMetrics::apply(data), data) << data.size();
    }
}

TEST(WindowsLineMetrics, TheWindowsFontsMeasureTheirLinesAsDesigned) {
    Fonts::setup();
    if (!Fonts::tahomaAvailable())
        GTEST_SKIP() << "the Tahoma of fonts-wine is not installed";
    // 8-point Tahoma has lines of 13 pixels, 11 of them above the baseline; "É" fits in them.
    for (const QString &family : {QStringLiteral("Tahoma"), QStringLiteral("MS Sans Serif")}) {
        const QFont font = Fonts::make(family, -11);
        const QFontMetrics fm(font);
        EXPECT_EQ(fm.ascent(), 11) << family.toStdString();
        EXPECT_EQ(fm.descent(), 2) << family.toStdString();
        EXPECT_GE(TextInk::glyphRows(font, QStringLiteral("ÉÄÖÜ")).top, -fm.ascent());
        EXPECT_LT(TextInk::glyphRows(font, QStringLiteral("gjpqy")).bottom, fm.descent());
    }
}

TEST(InputQueryGlyphs, PromptAndValue) {
    Fonts::setup();
    if (!Fonts::tahomaAvailable())
        GTEST_SKIP() << "the Tahoma of fonts-wine is not installed";
    QWidget owner;
    const auto shown = [&](const QString &prompt, const QString &value) {
        auto form = std::make_unique<TInputQueryForm>(QStringLiteral("Bestellnummer"), prompt,
                                                      value, 50, &owner);
        form->layout()->activate();
        form->Edit()->deselect();
        return form;
    };
    const QFont font = shown(QString(), QString())->font();
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Tahoma"));
    const auto prompt = [&](const QString &text) {
        const auto form = shown(text, QString());
        return TextInk::picture(*form->findChild<QLabel *>());
    };
    EXPECT_TRUE(TextInk::drawnWhole(prompt, font, QStringLiteral(" ")));
    const auto value = [&](const QString &text) {
        return TextInk::picture(*shown(QStringLiteral("Neu:"), text)->Edit());
    };
    EXPECT_TRUE(TextInk::drawnWhole(value, font));
}

} // namespace
