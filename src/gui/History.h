#pragma once
// The navigation history of one main window: every folder or file the tree selected, oldest
// first, with the position of the current entry. Not persisted; lives on the GUI thread.
#include "XEventListener.h"

#include <QFileInfo>
#include <QList>
#include <cstdint>

namespace zemFinder {

class History {
public:
    enum State : uint32_t { NOT_INITIALIZED = 0xFFFFFFFFu, NOT_ENABLED = 0, PREV = 2, NEXT = 4 };

    History();
    ~History();

    // Appends an existing file after the current entry, dropping every newer entry first.
    void addFile(const QFileInfo& file);
    // The entry moved to, or an empty QFileInfo at either end.
    QFileInfo get_prev();
    QFileInfo get_next();
    // Only when index is at most count - 1; the state is not recomputed here.
    bool setIndex(uint32_t index);
    uint32_t count() const { return uint32_t(m_files.size()); }
    const QList<QFileInfo>& files() const { return m_files; }
    uint32_t index() const { return m_index; }
    uint32_t state() const { return m_state; }
    QString stateText() const { return stateText(m_state); }
    static QString stateText(uint32_t state);
    // Empties the list; the state is recomputed by the next addFile.
    void reset();
    // Recomputes the state; listeners are told when it changed.
    void compute_state();

    // Told after every change of the state (and on reset).
    zem::XEventListener<void()> stateListener;

private:
    QList<QFileInfo> m_files;
    uint32_t m_index = 0;
    uint32_t m_state = NOT_INITIALIZED;
};

} // namespace zemFinder
