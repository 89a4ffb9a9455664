#include "XSplitter.h"

#include "XNode.h"

namespace zem {

XSplitter::XSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {}

void XSplitter::stateToNode(XNode* node, const QString& key) const
{
    if (node)
        node->setString(key, QString::fromLatin1(saveState().toBase64()));
}

bool XSplitter::nodeToState(XNode* node, const QString& key)
{
    if (!node || !node->has(key))
        return false;
    return restoreState(QByteArray::fromBase64(node->getString(key).toLatin1()));
}

} // namespace zem
