#include "common/ui/StepOnlySpin.h"

#include <QLineEdit>
#include <QSpinBox>

QSpinBox *stepOnlySpin(QWidget *parent, const char *name, int max, int step)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(0, max);
    spin->setSingleStep(step);
    if (auto *edit = spin->findChild<QLineEdit *>())
        edit->setReadOnly(true);
    return spin;
}
