#pragma once
// Lets the typed tree read and write application records: a stored tree typed as XApp comes back
// as an XApp, and arrays of records render short in logs. Three process-wide instances exist, for
// the store, for the application editor and for record copies; each is stateless after
// construction, so any thread may use them.
#include "XTree.h"

namespace zemFinder {

class XType_App : public zem::XTypeSupporter {
public:
    XType_App();
    ~XType_App() override;

    std::unique_ptr<zem::XTree> createTree(const QString& typeName) const override;
    // "<type> [<count>] {(e1), (e2), ...}"; past 10 elements the first 5, "..., " and the last 5.
    QString arrayAsString(const zem::XTree::TreeArray& array) const override;
    // Logs the elements' text forms (shortened the same way) at level 32.
    void showArray(const zem::XTree::TreeArray& array, int indent) const;

    static const XType_App& for_store();
    static const XType_App& for_editor();
    static const XType_App& for_copies();
};

} // namespace zemFinder
