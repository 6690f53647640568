// The record types inside TSettings.
#pragma once

#include "platform/Colors.h"

#include <QPoint>
#include <QString>

#include <array>

// A number pattern: prefix, zero mask, suffix and start value (Ident 16009).
struct TKNR {
    QString Prefix;
    QString ZeroMask;
    QString Suffix;
    QString Start;
};

// The zero mask keeps only the "0" among its first ten characters ("0" when none remain);
// prefix and suffix are trimmed and cut to ten characters, the suffix further to 20 minus the
// lengths of mask and prefix; the start value is a number without leading zeros (empty for 0)
// of at most as many digits as the mask has, taken from its right end.
void NormalizeKNR(TKNR &k);

// The eight total-line captions of one document kind: net documents use the first four,
// gross documents the last four.
struct TSummenText {
    std::array<QString, 8> Captions;
};

// The captions of the 13 document kinds and the five header captions.
struct TDefaultText {
    std::array<TSummenText, 13> Sets;
    std::array<QString, 5> Headers;
};

// Article info fields (Ident 1512): names, captions, two bytes and a point each.
struct TUserFieldsOrder {
    std::array<QString, 10> Names;
    std::array<QString, 10> Captions;
    std::array<quint8, 10> Bytes1{};
    std::array<quint8, 10> Bytes2{};
    std::array<QPoint, 10> Points{};
};

// One address set (Idents 2001 to 2010 give the text, 3001 to 3010 the mode).
struct TAdr_set {
    quint8 Number1 = 0;
    quint8 Number2 = 0;
    QString Text;
    quint8 Mode = 0;
};

// A label layout (Ident 652).
struct TlbBounds {
    qint32 Left = 0;
    qint32 Top = 0;
    qint32 Width = 0;
    QString FontName;
    qint32 FontSize = 0;
    TColor Color = 0;
};

struct TlbBoundsA {
    QString Text1;
    QString Text2;
    std::array<TlbBounds, 2> Bounds;
};
