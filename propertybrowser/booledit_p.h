#pragma once

#include <QtWidgets/QWidget>

class QCheckBox;

namespace PropertyBrowser::Internal {

// The in-place editor of bool rows: a check box with the value's label. A click anywhere in
// the cell toggles it, so the narrow indicator need not be hit exactly.
class BoolEdit : public QWidget
{
    Q_OBJECT
public:
    explicit BoolEdit(QWidget *parent = nullptr);

    bool isChecked() const;
    // Shows a value without reporting it back as an edit.
    void setChecked(bool checked);
    void setText(const QString &text);
    QString text() const;
    QCheckBox *checkBox() const { return m_checkBox; }

signals:
    void toggled(bool checked);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QCheckBox *m_checkBox;
};

} // namespace PropertyBrowser::Internal
