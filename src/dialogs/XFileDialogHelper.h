#pragma once
// A non-native QFileDialog used as a widget inside another window: it tells the entry the user
// points at (currentChanged) and its result once done (finished, after QFileDialog::done).
// GUI thread only.
#include "XEventListener.h"

#include <QFileDialog>

namespace zemFinder {

class XFileDialogHelper : public QFileDialog {
    Q_OBJECT
public:
    XFileDialogHelper();

    void done(int result) override;

    zem::XEventListener<void(const QString&)> currentChangedListener;
    zem::XEventListener<void(int)> finishedListener;

private:
    QString m_lastSelected;
};

} // namespace zemFinder
