#pragma once
// A layout that places its items left to right and wraps to a new row when the width is used up,
// like words in a line of text. Rows are as high as their highest item. GUI thread only.
#include <QLayout>
#include <QList>

namespace zem {

class XFlowLayout : public QLayout {
    Q_OBJECT
public:
    explicit XFlowLayout(QWidget* parent = nullptr, int spacing = 6);
    ~XFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override { return m_items.size(); }
    QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override { return minimumSize(); }
    void setGeometry(const QRect& rect) override;

    // Deletes every item and the widgets they hold.
    void clear();

private:
    // Places the items inside rect (only measures when place is false); returns the height used.
    int do_layout(const QRect& rect, bool place) const;

    QList<QLayoutItem*> m_items;
    int m_spacing;
};

} // namespace zem
