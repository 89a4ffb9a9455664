#include "XFileDialogHelper.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace zemFinder {

XFileDialogHelper::XFileDialogHelper() : QFileDialog(nullptr, QString(), QString(), QString())
{
    // Only the widget form can live inside another window; the desktop's dialog cannot.
    setOption(QFileDialog::DontUseNativeDialog, true);
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) { currentChangedListener.fire(path); });
    // Typing a name selects the entry without making it current, which currentChanged misses:
    // the selection is followed too, so that the preview shows what the list highlights.
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        if (!view->selectionModel())
            continue;
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            const QStringList files = selectedFiles();
            if (!files.isEmpty() && files.first() != m_lastSelected) {
                m_lastSelected = files.first();
                currentChangedListener.fire(m_lastSelected);
            }
        });
    }
}

void XFileDialogHelper::done(int result)
{
    QFileDialog::done(result);
    finishedListener.fire(result);
}

} // namespace zemFinder
