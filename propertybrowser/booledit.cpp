#include "booledit_p.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>

namespace PropertyBrowser::Internal {

BoolEdit::BoolEdit(QWidget *parent)
    : QWidget(parent)
    , m_checkBox(new QCheckBox(this))
{
    auto *layout = new QHBoxLayout(this);
    // Lines the indicator up with the check box look of the value column.
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(m_checkBox);
    setFocusProxy(m_checkBox);
    setAutoFillBackground(true);
    connect(m_checkBox, &QCheckBox::toggled, this, &BoolEdit::toggled);
}

bool BoolEdit::isChecked() const
{
    return m_checkBox->isChecked();
}

void BoolEdit::setChecked(bool checked)
{
    const QSignalBlocker blocker(m_checkBox);
    m_checkBox->setChecked(checked);
}

void BoolEdit::setText(const QString &text)
{
    m_checkBox->setText(text);
}

QString BoolEdit::text() const
{
    return m_checkBox->text();
}

void BoolEdit::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_checkBox->click();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace PropertyBrowser::Internal
