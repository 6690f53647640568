// The component stream reader on streams written out byte by byte from the format, as another
// implementation writes them, and on damaged copies of them. These tests also run under the
// address and undefined-behaviour sanitizers (settings_stream_sanitizer_tests).
#include "settings/ComponentStream.h"
#include "settings/TAdressExtraDataGrid.h"
#include "settings/TAutoActionItems.h"

#include <gtest/gtest.h>

namespace {

// A name or short text: its length byte, then its bytes.
QByteArray s(const QByteArray &text) {
    return char(text.size()) + text;
}

QByteArray u32(quint32 v) {
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b += char((v >> (8 * i)) & 0xFF);
    return b;
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

// Three cells: the first with every property written and an order of 0; the second with an
// order of 1, a column above 255, a gray text of 300 bytes (tag 12) and the rest left at the
// default; the third without an order and without any property.
QByteArray cellStream() {
    return "TPF0" + s("TAdressExCellInfosWrapper") + s("") +     //
           s("AdressExCellInfos") + bytes({14}) +                // collection
           bytes({2, 0, 1}) +                                    // order 0, item
           s("Col") + bytes({2, 3}) + s("Row") + bytes({2, 1}) + //
           s("Gray") + bytes({6, 4}) + "Gr\xFCn" +               // Windows-1252 "ü"
           s("Readonly") + bytes({9}) + bytes({0}) +             // end of item
           bytes({2, 1, 1}) +                                    // order 1, item
           s("Col") + bytes({3, 0x2C, 0x01}) +                   // 300 as 2 bytes
           s("Gray") + bytes({12}) + u32(300) + QByteArray(300, 'x') + bytes({0}) + //
           bytes({1, 0}) + // an item at all defaults
           bytes({0}) +    // end of collection
           bytes({0}) +    // end of properties
           bytes({0});     // end of children
}

QByteArray actionStream() {
    return "TPF0" + s("TAutoActionItemsWrapper") + s("") + s("AutoActionItems") + bytes({14}) +
           bytes({1}) + s("PDFFileAfterClose") + bytes({7}) + s("aa_auto") +
           s("SendAfterPrintClose") + bytes({9}) + s("DefaultMailType") + bytes({7}) + s("aa_pdf") +
           s("BCC") + bytes({6}) + s("chef@firma.de") + s("NextDocByClose") + bytes({8}) +
           bytes({0}) + //
           bytes({2, 5, 1}) + s("WVLAfterSave") + bytes({7}) + s("aa_manual") + s("SLayout") +
           bytes({9}) + bytes({0}) + //
           bytes({0, 0, 0});
}

TEST(ComponentStream, ReadsCellsWithOrdersDefaultsLongTextsAndWindows1252) {
    TAdressExCellInfosWrapper w;
    w.ReadFromStream(cellStream());
    const TAdressExCellInfos &c = w.AdressExCellInfos;
    ASSERT_EQ(c.Count(), 3);
    EXPECT_EQ(c.Item(0).Col, 3);
    EXPECT_EQ(c.Item(0).Row, 1);
    EXPECT_EQ(c.Item(0).Gray, QStringLiteral("Grün"));
    EXPECT_TRUE(c.Item(0).Readonly);
    EXPECT_EQ(c.Item(1).Col, 300);
    EXPECT_EQ(c.Item(1).Row, 0);
    EXPECT_EQ(c.Item(1).Gray, QString(300, u'x'));
    EXPECT_FALSE(c.Item(1).Readonly);
    EXPECT_EQ(c.Item(2).Col, 0);
    EXPECT_EQ(c.Item(2).Gray, QString());
}

TEST(ComponentStream, ReadsAutoActionsWithEnumerationsAndSwitches) {
    TAutoActionItemsWrapper w;
    w.ReadFromStream(actionStream());
    const auto &items = w.AutoActionItems.Items;
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].PDFFileAfterClose, aa_auto);
    EXPECT_EQ(items[0].PDFFileAfterSave, aa_none);
    EXPECT_TRUE(items[0].SendAfterPrintClose);
    EXPECT_EQ(items[0].DefaultMailType, aa_pdf);
    EXPECT_EQ(items[0].BCC, QStringLiteral("chef@firma.de"));
    EXPECT_FALSE(items[0].NextDocByClose);
    EXPECT_EQ(items[1].WVLAfterSave, aa_manual);
    EXPECT_TRUE(items[1].SLayout);
    EXPECT_EQ(items[1].DefaultMailType, aa_html);
}

TEST(ComponentStream, WriterOutputReadsBackToTheSameObjects) {
    TAdressExCellInfosWrapper w;
    w.ReadFromStream(cellStream());
    TAdressExCellInfosWrapper back;
    back.ReadFromStream(w.WriteToStream());
    ASSERT_EQ(back.AdressExCellInfos.Count(), 3);
    for (qsizetype i = 0; i < 3; ++i) {
        const TAdressExCellInfo &a = w.AdressExCellInfos.Item(i);
        const TAdressExCellInfo &b = back.AdressExCellInfos.Item(i);
        EXPECT_EQ(a.Col, b.Col);
        EXPECT_EQ(a.Row, b.Row);
        EXPECT_EQ(a.Gray, b.Gray);
        EXPECT_EQ(a.Readonly, b.Readonly);
    }
    TAutoActionItemsWrapper actions;
    actions.ReadFromStream(actionStream());
    TAutoActionItemsWrapper actionsBack;
    actionsBack.ReadFromStream(actions.WriteToStream());
    EXPECT_EQ(actionsBack.AutoActionItems.Items, actions.AutoActionItems.Items);
}

// Every tag of the format, on an object of a class the program does not know, with a child
// that carries its position.
TEST(ComponentStream, ReadsEveryValueTag) {
    const QByteArray extended15 = bytes({0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}); // 1.5
    const QByteArray single25 = bytes({0, 0, 0x20, 0x40});                        // 2.5f
    const QByteArray date = bytes({0, 0, 0, 0, 0x20, 0x20, 0xE6, 0x40});          // 45313.0
    const QByteArray stream =
        "TPF0" + s("TIrgendwas") + s("Objekt") +                            //
        s("L") + bytes({1, 2, 7, 3, 0x00, 0x80, 0}) +                       // list: 7, -32768
        s("I4") + bytes({4}) + u32(0x80000000u) +                           //
        s("E") + bytes({5}) + extended15 +                                  //
        s("S") + bytes({6, 2}) + "ab" +                                     //
        s("Id") + bytes({7}) + s("clRed") +                                 //
        s("F") + bytes({8}) + s("T") + bytes({9}) +                         //
        s("B") + bytes({10}) + u32(3) + bytes({0, 1, 2}) +                  //
        s("Set") + bytes({11}) + s("fsBold") + s("fsItalic") + bytes({0}) + //
        s("LS") + bytes({12}) + u32(1) + "\x80" +                           // "€" in Windows-1252
        s("N") + bytes({13}) +                                              //
        s("C") + bytes({14, 1, 0, 0}) +                                     //
        s("Sg") + bytes({15}) + single25 +                                  //
        s("Cu") + bytes({16}) + bytes({0x39, 0x30, 0, 0, 0, 0, 0, 0}) +     // 12345
        s("D") + bytes({17}) + date +                                       //
        s("W") + bytes({18}) + u32(2) + bytes({0xFC, 0, 0xDF, 0}) +         // "üß"
        s("I8") + bytes({19}) + bytes({1, 0, 0, 0, 1, 0, 0, 0}) +           //
        s("U") + bytes({20}) + u32(3) + "\xE2\x82\xAC" +                    // "€" in UTF-8
        bytes({0}) +                                                        // end of properties
        bytes({0xF2, 2, 4}) + s("TKind") + s("K") + bytes({0, 0}) +         // child at position 4
        bytes({0});
    const TStreamObject o = ComponentStream::Read(stream);
    EXPECT_EQ(o.className, QStringLiteral("TIrgendwas"));
    EXPECT_EQ(o.name, QStringLiteral("Objekt"));
    ASSERT_EQ(o.properties.size(), 18u);
    auto value = [&](const char *name) -> const TStreamValue & {
        for (const auto &[n, v] : o.properties)
            if (n == QLatin1String(name))
                return v;
        throw std::runtime_error(name);
    };
    ASSERT_EQ(value("L").list.size(), 2u);
    EXPECT_EQ(value("L").list[0].integer, 7);
    EXPECT_EQ(value("L").list[1].integer, -32768);
    EXPECT_EQ(value("I4").integer, qint64(INT32_MIN));
    EXPECT_DOUBLE_EQ(value("E").real, 1.5);
    EXPECT_EQ(value("S").text, QStringLiteral("ab"));
    EXPECT_EQ(value("Id").text, QStringLiteral("clRed"));
    EXPECT_EQ(value("F").type, TValueType::False);
    EXPECT_EQ(value("T").type, TValueType::True);
    EXPECT_EQ(value("B").bytes, bytes({0, 1, 2}));
    EXPECT_EQ(value("Set").names,
              QStringList({QStringLiteral("fsBold"), QStringLiteral("fsItalic")}));
    EXPECT_EQ(value("LS").text, QStringLiteral("€"));
    EXPECT_EQ(value("N").type, TValueType::Nil);
    ASSERT_EQ(value("C").items.size(), 1u);
    EXPECT_FALSE(value("C").items[0].order.has_value());
    EXPECT_FLOAT_EQ(float(value("Sg").real), 2.5f);
    EXPECT_EQ(value("Cu").integer, 12345);
    EXPECT_DOUBLE_EQ(value("D").real, 45313.0);
    EXPECT_EQ(value("W").text, QStringLiteral("üß"));
    EXPECT_EQ(value("I8").integer, (qint64(1) << 32) + 1);
    EXPECT_EQ(value("U").text, QStringLiteral("€"));
    ASSERT_EQ(o.children.size(), 1u);
    EXPECT_EQ(o.children[0].className, QStringLiteral("TKind"));
    EXPECT_EQ(o.children[0].childPosition, 4);
    // The writer gives the same tree back.
    const TStreamObject again = ComponentStream::Read(ComponentStream::Write(o));
    ASSERT_EQ(again.properties.size(), o.properties.size());
    EXPECT_DOUBLE_EQ(again.properties[2].second.real, 1.5);
    EXPECT_EQ(again.children[0].childPosition, 4);
}

// A stream cut at any byte is refused, and the wrapper keeps what it held: no partly read cell
// or action survives.
TEST(ComponentStream, EveryTruncationIsRefusedAndKeepsTheCollection) {
    for (const QByteArray &full : {cellStream(), actionStream()}) {
        for (qsizetype n = 0; n < full.size(); ++n) {
            SCOPED_TRACE(n);
            // A copy of exactly n bytes, so that the sanitizer sees any read past them.
            const QByteArray cut(full.constData(), n);
            TAdressExCellInfosWrapper cells;
            cells.AdressExCellInfos.Add().Col = 77;
            TAutoActionItemsWrapper actions;
            actions.AutoActionItems.Items.resize(1);
            if (full == cellStream())
                EXPECT_THROW(cells.ReadFromStream(cut), EReadError);
            else
                EXPECT_THROW(actions.ReadFromStream(cut), EReadError);
            ASSERT_EQ(cells.AdressExCellInfos.Count(), 1);
            EXPECT_EQ(cells.AdressExCellInfos.Item(0).Col, 77);
            EXPECT_EQ(actions.AutoActionItems.Items.size(), 1u);
        }
    }
}

struct Damage {
    const char *name;
    QByteArray stream;
};

class DamagedStreams : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedStreams, AreRefused) {
    TAdressExCellInfosWrapper w;
    EXPECT_THROW(w.ReadFromStream(GetParam().stream), EReadError);
    EXPECT_EQ(w.AdressExCellInfos.Count(), 0);
}

QByteArray withByte(QByteArray b, qsizetype at, char value) {
    b[at] = value;
    return b;
}

QByteArray deepLists(int depth) {
    QByteArray b = "TPF0" + s("TAdressExCellInfosWrapper") + s("") + s("X");
    b += QByteArray(depth, char(1));
    b += QByteArray(depth, char(0));
    return b + bytes({0, 0});
}

const qsizetype kCollectionTag = 4 + 1 + 25 + 1 + 1 + 17;

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedStreams,
    ::testing::Values(
        Damage{"UnknownTag", withByte(cellStream(), kCollectionTag, 21)},
        Damage{"EndTagAsValue", withByte(cellStream(), kCollectionTag, 0)},
        Damage{"TextLengthPastTheEnd", "TPF0" + s("TAdressExCellInfosWrapper") + s("") +
                                           s("AdressExCellInfos") + bytes({14, 1}) + s("Gray") +
                                           bytes({12}) + u32(0xFFFFFFF0u) + "xyz"},
        Damage{"BinaryLengthPastTheEnd", "TPF0" + s("TAdressExCellInfosWrapper") + s("") + s("B") +
                                             bytes({10}) + u32(0x7FFFFFFFu) + bytes({0, 0})},
        Damage{"WideTextLengthPastTheEnd", "TPF0" + s("TAdressExCellInfosWrapper") + s("") +
                                               s("W") + bytes({18}) + u32(0x80000000u) +
                                               bytes({0, 0})},
        Damage{"NestedTooDeep", deepLists(100000)},
        Damage{"WrongRootClass", withByte(cellStream(), 5, 'X')},
        Damage{"PropertyOfAnotherType", "TPF0" + s("TAdressExCellInfosWrapper") + s("") +
                                            s("AdressExCellInfos") + bytes({14, 1}) + s("Col") +
                                            bytes({6, 1}) + "3" + bytes({0, 0, 0, 0})},
        Damage{"UnknownProperty", "TPF0" + s("TAdressExCellInfosWrapper") + s("") +
                                      s("AdressExCellInfos") + bytes({14, 1}) + s("Farbe") +
                                      bytes({2, 3}) + bytes({0, 0, 0, 0})},
        Damage{"ItemWithoutList", "TPF0" + s("TAdressExCellInfosWrapper") + s("") +
                                      s("AdressExCellInfos") + bytes({14, 2, 0, 6}) + s("x") +
                                      bytes({0, 0, 0})},
        Damage{"NoSignature", "TPF1" + cellStream().mid(4)}),
    [](const ::testing::TestParamInfo<Damage> &info) { return std::string(info.param.name); });

} // namespace
