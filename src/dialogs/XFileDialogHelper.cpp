#include "XFileDialogHelper.h"

namespace zemFinder {

XFileDialogHelper::XFileDialogHelper() : QFileDialog(nullptr, QString(), QString(), QString())
{
    // Only the widget form can live inside another window; the desktop's dialog cannot.
    setOption(QFileDialog::DontUseNativeDialog, true);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) { currentChangedListener.fire(path); });
}

void XFileDialogHelper::done(int result)
{
    QFileDialog::done(result);
    finishedListener.fire(result);
}

} // namespace zemFinder
