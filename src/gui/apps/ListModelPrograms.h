#pragma once
// The application editor's list: its own copies of the records of a store tree, in order, shown
// by name. Every change ends with a full model reset. GUI thread only.
#include "XApp.h"

#include <QAbstractListModel>
#include <functional>
#include <memory>
#include <vector>

namespace zem {
class XTypeSupporter;
}

namespace zemFinder {

class ListModelPrograms : public QAbstractListModel {
    Q_OBJECT
public:
    ListModelPrograms(const zem::XTree& tree, const zem::XTypeSupporter* supporter, QObject* parent = nullptr);
    ~ListModelPrograms() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // A copy of the record at row; an empty record (logged) when row is out of range.
    XApp app_at(int row) const;
    void set_app_at(int row, const XApp& app);
    // A record with a random name, inserted before row (before row 0 when row is not valid).
    void newApp(int row);
    // A copy of row under the next free numbered name, inserted before row (the source moves down).
    void copyApp(int row);
    void delete_row(int row);
    void delete_all();
    void swap(int row1, int row2);
    // Replaces every record by copies of tree's records.
    void reload(const zem::XTree& tree);
    // A new tree holding copies of all records in row order.
    std::unique_ptr<zem::XTree> to_tree() const;
    bool is_valid(int row) const { return row >= 0 && row < int(m_apps.size()); }
    bool has_name(const QString& name) const;

private:
    void reset(const std::function<void()>& change);

    const zem::XTypeSupporter* m_supporter;
    std::vector<XApp> m_apps;
};

} // namespace zemFinder
