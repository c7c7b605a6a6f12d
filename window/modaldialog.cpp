#include "window/modaldialog.h"

#include <QVariant>

namespace DrumoSensorPlugin {
namespace Core {

void closeModalDialogs(QWidget *window)
{
    for (QDialog *dialog : window->findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (dialog->property(ModalDialog<QDialog>::modalProperty).toBool() && dialog->isVisible())
            dialog->reject();
    }
}

} // namespace Core
} // namespace DrumoSensorPlugin
