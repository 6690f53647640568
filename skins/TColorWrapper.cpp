#include "skins/TColorWrapper.h"

#include "platform/AtomicFile.h"
#include "platform/ClassRegistry.h"
#include "platform/Cp1252.h"
#include "platform/ForceDirectories.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "platform/ui/TCustomForm.h"
#include "skins/ColorSchemeFiles.h"
#include "skins/TSchemeValues.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMetaProperty>
#include <QWidget>

#include <optional>

namespace {

enum class TValueKind { Colour, Number };

enum class TTarget {
    Property,           // the component's published property of that name
    ControlColour,      // the control's own colour (windows and scroll boxes)
    BackgroundGradient, // the property Gradient of the object in the property Background
};

struct TSchemeProperty {
    QString Key; // as the scheme file writes it after "|"
    TValueKind Kind;
    QString ClassKey;    // empty: none
    QByteArray Property; // the property set
    TTarget Target = TTarget::Property;
    bool WindowKey = false; // "<window>|Color" instead of "<window>.<component>|Color"
};

struct TSchemeClass {
    QStringList Names;        // exact class names
    const char *DescendantOf; // or any class that inherits this one
    QList<TSchemeProperty> Properties;
};

TSchemeProperty colour(const QString &key, const QString &classKey,
                       const QByteArray &property = {}) {
    return {key, TValueKind::Colour, classKey, property.isEmpty() ? key.toLatin1() : property};
}

TSchemeProperty number(const QString &key, const QString &classKey,
                       const QByteArray &property = {}) {
    return {key, TValueKind::Number, classKey, property.isEmpty() ? key.toLatin1() : property};
}

TSchemeProperty visible() {
    return number(QStringLiteral("Visible"), {});
}

TSchemeProperty withTarget(TSchemeProperty property, TTarget target) {
    property.Target = target;
    return property;
}

TSchemeClass exactly(const QStringList &names, const QList<TSchemeProperty> &properties) {
    return {names, nullptr, properties};
}

// Colour keys whose class key is the class name, "_" and the key.
QList<TSchemeProperty> colours(const QString &className, const QStringList &keys) {
    QList<TSchemeProperty> out;
    for (const QString &key : keys)
        out.append(colour(key, className + u'_' + key));
    return out;
}

QList<TSchemeProperty> browser(const QString &className) {
    return {colour(QStringLiteral("Color"), className + QStringLiteral("_Color")),
            colour(QStringLiteral("ReadOnlyColor"), className + QStringLiteral("_ReadOnlyColor"),
                   "ReadOnlyColor_"),
            colour(QStringLiteral("EmptyColor"), className + QStringLiteral("_EmptyColor"),
                   "RichEmptyEditColor_")};
}

QList<TSchemeProperty> flatButton(const QString &className) {
    QList<TSchemeProperty> out{visible()};
    out += colours(className, {QStringLiteral("Color"), QStringLiteral("ColorDown"),
                               QStringLiteral("ColorFocused"), QStringLiteral("ColorBorder"),
                               QStringLiteral("ColorHighLight"), QStringLiteral("ColorShadow")});
    out.append(number(QStringLiteral("ROUND"), className + QStringLiteral("_ROUND"), "Round"));
    out.append(number(QStringLiteral("Margin"), className + QStringLiteral("_Margin")));
    out.append(number(QStringLiteral("Spacing"), className + QStringLiteral("_Spacing")));
    return out;
}

QList<TSchemeProperty> menu(const QString &prefix) {
    return {colour(QStringLiteral("Color"), prefix + QStringLiteral("_Color")),
            withTarget(colour(QStringLiteral("FirstColor"), prefix + QStringLiteral("_FirstColor"),
                              "Gradient"),
                       TTarget::BackgroundGradient)};
}

QList<TSchemeClass> buildClassTable() {
    TSchemeProperty windowColour = withTarget(
        colour(QStringLiteral("Color"), QStringLiteral("Form_Color")), TTarget::ControlColour);
    windowColour.WindowKey = true;
    const QList<TSchemeProperty> choiceEdit{
        number(QStringLiteral("DrawStyle"), QStringLiteral("TDCCustomChoiceEdit_DrawStyle")),
        visible(), colour(QStringLiteral("Color"), QStringLiteral("TDCCustomChoiceEdit_Color"))};
    const QList<TSchemeProperty> grid{
        colour(QStringLiteral("Color"), QStringLiteral("TI_DBGrid_Color")),
        colour(QStringLiteral("FixedColor"), QStringLiteral("TI_DBGrid_FixedColor")),
        number(QStringLiteral("BorderStyle"), QStringLiteral("TI_DBGrid_BorderStyle"))};
    auto one = [](const char *name) { return QStringList{QLatin1String(name)}; };
    auto colourOf = [](const char *name) {
        return colours(QLatin1String(name), {QStringLiteral("Color")});
    };
    return {
        exactly(one("TSkinCheckBox"), colourOf("TSkinCheckBox")),
        exactly(one("TFlatMemo"),
                colours(QStringLiteral("TFlatMemo"),
                        {QStringLiteral("ColorFocused"), QStringLiteral("ColorFlat"),
                         QStringLiteral("ColorBorder")})),
        exactly(one("TListBox"), colourOf("TListBox")),
        exactly(one("TWizardNotebook"), colourOf("TWizardNotebook")),
        exactly(one("TAdressBrowser"),
                colours(QStringLiteral("TAdressBrowser"),
                        {QStringLiteral("Color"), QStringLiteral("ChoiseEnterColor"),
                         QStringLiteral("ChoiseExitColor")})),
        exactly(one("TCPrivateBrowser"), browser(QStringLiteral("TCPrivateBrowser"))),
        exactly(one("TCBrowser"), browser(QStringLiteral("TCBrowser"))),
        exactly(one("TOrderBrowser"), browser(QStringLiteral("TOrderBrowser"))),
        TSchemeClass{{}, "TCustomForm", {windowColour}},
        exactly({QStringLiteral("TI_CustomChoiceEdit"), QStringLiteral("TI_CFloatEdit"),
                 QStringLiteral("TI_FloatEdit"), QStringLiteral("TDCCustomFormEdit"),
                 QStringLiteral("TDCCustomTreeEdit"), QStringLiteral("TDCCustomGridEdit"),
                 QStringLiteral("TDCCustomComboBox"), QStringLiteral("TDCComboBox"),
                 QStringLiteral("TDCCustomFloatEdit"), QStringLiteral("TDCFloatEdit"),
                 QStringLiteral("TDCCustomDateEdit"), QStringLiteral("TDCDateEdit"),
                 QStringLiteral("TDCChoiceEdit"), QStringLiteral("TDCCustomChoiceEdit"),
                 QStringLiteral("TDCCustomListComboBox")},
                choiceEdit),
        exactly(one("TPageControl"), {visible()}),
        exactly(one("TFlatSpinEditInteger"),
                {colour(QStringLiteral("Color"), QStringLiteral("TFlatSpinEditInteger_Color"),
                        "ColorFlat")}),
        exactly(one("TStringGrid"), colourOf("TStringGrid")),
        exactly(one("TScrollBox"),
                {withTarget(colour(QStringLiteral("Color"), QStringLiteral("TScrollBox_Color")),
                            TTarget::ControlColour)}),
        exactly(one("TRichEditWithLinks"), colourOf("TRichEditWithLinks")),
        exactly(one("TPanel"),
                {number(QStringLiteral("BevelInner"), QStringLiteral("TPanel_BevelInner")),
                 number(QStringLiteral("BevelOuter"), QStringLiteral("TPanel_BevelOuter")),
                 visible(), colour(QStringLiteral("Color"), QStringLiteral("TPanel_Color"))}),
        exactly(one("TFlatCheckBox"), {visible(), colour(QStringLiteral("Color"),
                                                         QStringLiteral("TFlatCheckBox_Color"))}),
        exactly(one("TMarkupLabel"), colourOf("TMarkupLabel")),
        exactly({QStringLiteral("TI_DBGrid"), QStringLiteral("TExtStringGrid")}, grid),
        exactly(one("TTabSet"),
                QList<TSchemeProperty>{visible()} +
                    colours(QStringLiteral("TTabSet"),
                            {QStringLiteral("BackgroundColor"), QStringLiteral("SelectedColor"),
                             QStringLiteral("UnselectedColor")})),
        exactly(one("TFlatPanel"),
                QList<TSchemeProperty>{visible()} +
                    colours(QStringLiteral("TFlatPanel"),
                            {QStringLiteral("Color"), QStringLiteral("ColorHighLight"),
                             QStringLiteral("ColorShadow")})),
        exactly(one("TFlatButton"), flatButton(QStringLiteral("TFlatButton"))),
        exactly(one("TFlatSpeedButton"), flatButton(QStringLiteral("TFlatSpeedButton"))),
        TSchemeClass{{}, "ToxPopupMenu", menu(QStringLiteral("MENUPOP"))},
        exactly(one("ToxMenu"), menu(QStringLiteral("MENU"))),
        exactly(one("TFlatGroupBox"),
                colours(QStringLiteral("TFlatGroupBox"),
                        {QStringLiteral("Color"), QStringLiteral("ColorBorder")})),
    };
}

const QList<TSchemeClass> &classTable() {
    static const QList<TSchemeClass> table = buildClassTable();
    return table;
}

const TSchemeClass *rowFor(const QObject *component) {
    const QLatin1String name(component->metaObject()->className());
    for (const TSchemeClass &row : classTable()) {
        if (row.DescendantOf ? component->inherits(row.DescendantOf) : row.Names.contains(name))
            return &row;
    }
    return nullptr;
}

// Sets a published property that holds a whole number, a truth value or an enumeration; a
// number that is no value of the enumeration is not set, so that a scheme cannot put a
// control into a state it does not know.
void setOrdinal(QObject *object, const QByteArray &name, int value) {
    if (!object)
        return;
    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name.constData());
    if (index < 0)
        return;
    const QMetaProperty property = meta->property(index);
    if (!property.isWritable())
        return;
    if (property.isEnumType()) {
        if (!property.isFlagType() && !property.enumerator().valueToKey(value))
            return;
    } else {
        switch (property.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Bool:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            break;
        default:
            return;
        }
    }
    property.write(object, value);
}

void setControlColour(QObject *component, TColor colour) {
    if (auto *form = qobject_cast<TCustomForm *>(component)) {
        form->SetColor(colour);
    } else if (auto *control = qobject_cast<QWidget *>(component)) {
        QPalette palette = control->palette();
        palette.setColor(QPalette::Window, Colors::toQColor(colour));
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    }
}

void setValue(QObject *component, const TSchemeProperty &property, int value) {
    switch (property.Target) {
    case TTarget::Property:
        setOrdinal(component, property.Property, value);
        break;
    case TTarget::ControlColour:
        setControlColour(component, value);
        break;
    case TTarget::BackgroundGradient:
        setOrdinal(component->property("Background").value<QObject *>(), property.Property, value);
        break;
    }
}

std::optional<int> lookUp(const TSchemeValues &values, TValueKind kind, const QString &key) {
    if (kind == TValueKind::Colour)
        return values.Color(key);
    return values.Number(key);
}

void apply(QObject *component, const QString &prefix, const TSchemeValues &values) {
    const TSchemeClass *row = rowFor(component);
    if (!row)
        return;
    for (const TSchemeProperty &property : row->Properties) {
        const QString key = (property.WindowKey ? QString() : prefix) + component->objectName() +
                            u'|' + property.Key;
        std::optional<int> value = lookUp(values, property.Kind, key);
        if (!value && !property.ClassKey.isEmpty())
            value = lookUp(values, property.Kind, property.ClassKey);
        if (value)
            setValue(component, property, *value);
    }
}

// One level of ownership: a failure ends this level and the levels below it.
void walk(QObject *owner, const QString &prefix, const TSchemeValues &values) {
    try {
        const QObjectList owned = owner->children();
        for (QObject *component : owned) {
            apply(component, prefix, values);
            walk(component, prefix, values);
        }
    } catch (...) {
    }
}

void collectNames(const QObject *owner, QStringList &names) {
    for (const QObject *component : owner->children()) {
        const QString name = component->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            names.append(name);
        collectNames(component, names);
    }
}

QStringList loadLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    QStringList lines;
    for (const QByteArray &line : TextLines::split(bytes).Lines)
        lines.append(Cp1252::toQString(line));
    return lines;
}

void writeDebugList(const QObject *window) {
    QStringList names{window->objectName() + u'.'};
    collectNames(window, names);
    const QString folder =
        Paths::findIgnoringCase(Paths::programDir() + QStringLiteral("DEBUGSKIN"));
    if (!ForceDirectories(folder))
        return;
    QList<QByteArray> lines;
    for (const QString &name : std::as_const(names))
        lines.append(Cp1252::fromQString(name));
    WriteFileAtomically(
        Paths::findIgnoringCase(Paths::join(folder, window->objectName() + "-DEBUG.DAT")),
        TextLines::join(lines));
}

} // namespace

TColorWrapper::TColorWrapper(QObject *parent) : QObject(parent) {}

void TColorWrapper::SetProperties(QObject *component) {
    if (!component)
        return;
    try {
        const QString path = ColorSchemeFiles::SchemeCopyPath();
        if (!QFileInfo(path).isFile())
            return;
        const QStringList lines = loadLines(path);
        if (lines.isEmpty())
            return;
        const TSchemeValues values(lines);
        const QString prefix = component->objectName() + u'.';
        try {
            apply(component, prefix, values);
            walk(component, prefix, values);
        } catch (...) {
        }
        if (lines.first() == QLatin1String("DEBUGOUTPUT"))
            writeDebugList(component);
    } catch (...) {
        // A scheme never stops a window from opening.
    }
}

// Registered when the program starts. A static library's file that nothing calls is left out
// of the program, so the skins target asks the linker for this symbol (skins/CMakeLists.txt).
extern "C" {
extern const bool dupcheckColorWrapperRegistered;
const bool dupcheckColorWrapperRegistered = [] {
    ClassRegistry::registerClass(QStringLiteral("TColorWrapper"), [] { return new TColorWrapper; });
    return true;
}();
}
