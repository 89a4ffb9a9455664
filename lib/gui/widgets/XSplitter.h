#pragma once
// A splitter that keeps its handle positions in a node.
#include <QSplitter>

namespace zem {

class XNode;

class XSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit XSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    void stateToNode(XNode* node, const QString& key) const;
    // False (sizes unchanged) when the node has no usable state under key.
    bool nodeToState(XNode* node, const QString& key);
};

} // namespace zem
