#include "platform/ui/InputQuery.h"

#include "platform/ui/Application.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/Keys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TInputQueryForm::TInputQueryForm(const QString &caption, const QString &prompt,
                                 const QString &value, int maxLength, QWidget *owner)
    : TForm(owner) {
    setObjectName(QStringLiteral("InputQuery"));
    SetBorderStyle(bsDialog);
    SetCaption(caption);
    // The platform's dialog font. A window does not take its owner's font, and the toolkit's
    // default lets the marks of capitals rise above a label's top edge.
    setFont(Fonts::make(QStringLiteral("MS Sans Serif"), -11));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    auto *label = new QLabel(prompt, this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("Edit"));
    m_edit->setMaxLength(maxLength);
    m_edit->setText(value.left(maxLength));
    m_edit->selectAll();
    label->setBuddy(m_edit);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    layout->addWidget(label);
    layout->addWidget(m_edit);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, [this] { SetModalResult(mrOk); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
    connect(m_edit, &QLineEdit::returnPressed, this, [this] { SetModalResult(mrOk); });
    SetKeyPreview(true);
    resize(std::max(300, sizeHint().width()), sizeHint().height());
    SetPosition(poScreenCenter);
    MoveToScreenCentre(owner);
    Application::prepareWindow(this, false);
    m_edit->setFocus();
}

void TInputQueryForm::KeyDown(quint16 &key, Qt::KeyboardModifiers) {
    if (key == VK_ESCAPE) {
        key = 0;
        SetModalResult(mrCancel);
    }
}

bool InputQuery(const QString &caption, const QString &prompt, QString &value, int maxLength) {
    TInputQueryForm form(caption, prompt, value, maxLength, Application::mainForm());
    form.setWindowModality(Qt::ApplicationModal);
    if (form.ShowModal() != mrOk)
        return false;
    value = form.Edit()->text();
    return true;
}
