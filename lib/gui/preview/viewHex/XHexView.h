#pragma once
// A hex dump of a file of any size: offset, the bytes in hex, and the same bytes as text. A row
// holds 16 bytes when the three columns fit the width, else 8, else 4; narrower still, a
// horizontal scroll bar reaches the rest, so no column is ever out of reach.
// Reads rows straight from the line reader's mapping (or from bytes in memory), painting only
// the visible rows; opening costs a mapping, not a read. GUI thread only.
#include "XLineReaderDA.h"

#include <QAbstractScrollArea>

class QSvgRenderer;

namespace zem {

class XHexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int kMaxBytesPerRow = 16;
    static constexpr int kMinBytesPerRow = 4;
    static constexpr int kMinFontSize = 6;
    static constexpr int kMaxFontSize = 64;

    explicit XHexView(QWidget* parent = nullptr);
    ~XHexView() override;

    bool openFile(const QString& path);
    void openBytes(const QByteArray& bytes);
    void closeFile();
    bool isOpen() const { return m_reader.isOpen(); }
    qint64 size() const { return m_reader.size(); }

    // Point size, clamped to 6..64.
    void setFontSize(int size);
    int fontSize() const { return m_fontSize; }
    // Shown centred while no file is open; an SVG resource or file path.
    void setDefaultImage(const QString& svgPath);

    int bytesPerRow() const { return m_bytesPerRow; }
    // Width of the offset, hex and text columns together at n bytes a row (and at the present n).
    int contentWidthFor(int bytesPerRow) const;
    int contentWidth() const { return contentWidthFor(m_bytesPerRow); }

    qint64 topRow() const { return m_topRow; }
    void scrollToOffset(qint64 offset);
    int visibleRows() const;
    // Selected bytes (length 0: none).
    void setSelection(qint64 offset, qint64 length);
    qint64 selectionStart() const;
    qint64 selectionLength() const;
    // The selected bytes as "4A 6F ..." (at most 1 MB of them).
    QString selectedHex() const;
    // The row text as painted: offset, hex and text columns.
    QString rowText(qint64 row) const;
    // The byte under a viewport point, or -1.
    qint64 offsetAt(const QPoint& pos) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct Columns {
        int charW = 8;
        int rowH = 16;
        int offsetDigits = 8;
        int hexX = 0;
        int textX = 0;
        int width = 0;
    };
    Columns columns() const { return columnsFor(m_bytesPerRow); }
    Columns columnsFor(int bytesPerRow) const;
    // x of byte i of a row in the hex column (the halves of a wide row are set apart).
    int hexX(const Columns& c, int i) const;
    void fitBytesPerRow();
    qint64 rowCount() const;
    void afterOpen();
    void syncScrollBars();
    void setTopRow(qint64 row);

    XLineReaderDA m_reader;
    int m_fontSize = 14;
    int m_bytesPerRow = kMaxBytesPerRow;
    bool m_laidOut = false;  // the viewport has had its real size (first resize event)
    qint64 m_topRow = 0;
    int m_vShift = 0;  // scroll bar value = row >> m_vShift
    qint64 m_selAnchor = -1;
    qint64 m_selCursor = -1;
    QSvgRenderer* m_defaultImage = nullptr;
};

} // namespace zem
