#pragma once
// The text view of the text preview: shows a file of any size without loading it. Only the rows
// on screen are decoded and laid out (from the mapping of XTextSource); the top of the view is a
// byte offset, so scrolling, jumping to the end or to a mark never needs the whole line index.
//
// The line information ("Line N of M") sits in a strip of its own above or below the text, never
// over it; it names the caret's line while the caret is in view, else the top line in view.
//
// Over the text it paints the mark layers of its XRamLayerGroup (id order, the current layer
// last), the mouse-over layer, the active mark of the current layer, then the selection.
// Marks and selection are byte ranges of the file; they are mapped to characters per row, so
// multi-byte UTF-8, invalid bytes (one U+FFFD each), CR/CRLF and tabs land where they belong.
// GUI thread only.
#include "MouseOverMark.h"
#include "XEventListener.h"
#include "XRamLayerGroup.h"
#include "XTextSource.h"

#include <QAbstractScrollArea>
#include <QTextLayout>
#include <functional>
#include <memory>
#include <unordered_map>

class QLabel;
class QMenu;
class QTimer;

namespace zem::viewText {

class XTextView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Adds entries to the context menu; gets the menu and the selected text (at most 1000 chars).
    using ContextMenuBuilder = std::function<void(QMenu*, const QString&)>;
    enum LineInfoPos { LineInfoOff = 0, LineInfoTopRight = 1, LineInfoBottomRight = 2 };

    explicit XTextView(QWidget* parent = nullptr);
    ~XTextView() override;

    bool openFile(const QString& path);
    void openBytes(const QByteArray& bytes);
    void closeFile();
    const XTextSource& source() const { return m_src; }
    // For tests: the piece size must be set before opening.
    XTextSource& source() { return m_src; }

    void set_ruler(bool on);
    bool ruler() const { return m_ruler; }
    void set_wrap(bool on);
    bool wrap() const { return m_wrap; }
    void set_line_info_pos(int pos);
    // Where the line information strip is, in the view's own coordinates (empty while off).
    QRect lineInfoRect() const;
    int line_info_pos() const { return m_lineInfoPos; }

    XRamLayerGroup& layerGroup() { return m_layers; }
    XMarkLayer& mouseOverLayer() { return m_mouseOverLayer; }
    // The layer that navigation works on; painted above the others. Null for none.
    void setCurrentLayer(XMarkLayer* layer);
    XMarkLayer* currentLayer() const;

    // Brings a mark into view, about a third from the top, and scrolls sideways if needed.
    void scrollToRam(const find::XRam& ram);
    // Puts the row holding offset at the top.
    void scrollToOffset(qint64 offset);
    void scrollToStart();
    void scrollToEnd();
    void scrollRows(int rows);
    qint64 topOffset() const { return m_top; }
    int topSubRow() const { return m_topSub; }

    QString textFromMarkRam(const find::XRam& ram) const;
    // The selected text; maxChars 0 means all of it (capped at 64 MB of bytes).
    QString getSelectedText(int maxChars = 0) const;
    find::XRam selection() const;
    void setSelection(qint64 offset, qint64 length);
    void selectAll();
    void copy() const;
    void re_paint();

    void add_extra_context_menu(ContextMenuBuilder builder);
    // The context-menu entry that fires requestStandAlone: its text, and whether it shows as a
    // checked switch (null: a plain entry). By default "Open in a separate window".
    void set_request_action(const QString& text, std::function<bool()> checked = nullptr);
    // Whether anyone would act on the request now (null: whenever requestStandAlone has a
    // listener); the entry is left out of the menu otherwise.
    void set_request_available(std::function<bool()> available) { m_requestAvailable = std::move(available); }

    // Geometry in viewport coordinates, for the visible rows only.
    QVector<QRectF> rectsForRange(qint64 offset, qint64 length) const;
    // File offset at a viewport point (-1 for an empty file; below the text: the file's end).
    // between: the nearest character boundary (selecting) instead of the character under pos.
    qint64 offsetAt(const QPoint& pos, bool between = false) const;
    int rowHeight() const;
    int textLeft() const;
    int visibleRows() const;
    // The regions around offset, as reported to mouseOver.
    MouseOverMark mouseOverAt(qint64 offset) const;
    // The line information text shown in the corner.
    QString lineInfoText() const;

    XEventListener<void(const MouseOverMark&)> mouseOver;
    // The user marked text: a drag selection or a double-clicked word.
    XEventListener<void(const find::XRam&)> markedByUser;
    // The user clicked a mark: its layer and index are now the active ones.
    XEventListener<void(int, int)> activeMarkChanged;
    XEventListener<void(int)> layerActivated;
    XEventListener<void()> requestStandAlone;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Laid {
        XTextPiece piece;
        XLineText text;
        QTextLayout layout;
        int rows = 1;
        qreal width = 0;
    };
    using LaidPtr = std::shared_ptr<const Laid>;
    // Calls fn(row, y, lineNo) for the visible pieces from the top; fn returns false to stop.
    template <typename Fn>
    void forEachVisible(Fn fn) const;

    LaidPtr laid(qint64 pieceStart) const;
    void invalidateLayout();
    void afterOpen();
    void clampBottom();
    void moveRows(int rows);
    void setTopTo(qint64 offset);
    qint64 bottomTop() const;
    void syncScrollBars();
    int scrollValueFor(qint64 offset) const;
    void onScrollValue(int value);
    void onScrollAction(int action);
    void drawRange(QPainter& p, const Laid& l, qreal y, qint64 a, qint64 b, const QColor& c, bool frame) const;
    void paintRuler(QPainter& p, qreal y, const Laid& l, qint64 lineNo) const;
    void layoutLineInfo();
    void updateLineInfo();
    qint64 visibleEnd() const;
    int rulerWidth() const;
    qreal textWidth() const;
    void updateMouseOver(const QPoint& pos);
    bool activateMarkAt(qint64 offset);
    void autoScrollForDrag(const QPoint& pos);

    XTextSource m_src;
    XRamLayerGroup m_layers;
    XMarkLayer m_mouseOverLayer{-1};
    int m_currentLayerId = -1;
    XMarkLayer* m_currentLayer = nullptr;  // valid while layer_by_ID(m_currentLayerId) is it

    bool m_ruler = true;
    bool m_wrap = false;
    int m_lineInfoPos = LineInfoTopRight;
    QLabel* m_lineInfo = nullptr;  // the strip beside the viewport (owned as a child)

    qint64 m_top = 0;  // start of the top piece
    int m_topSub = 0;  // wrapped row of that piece at the top
    int m_vShift = 0;  // scroll bar value = offset >> m_vShift (scroll bars count in int)
    mutable qreal m_maxSeenWidth = 0;

    qint64 m_selAnchor = -1;
    qint64 m_selCursor = -1;
    qint64 m_caret = -1;
    qint64 m_pressChar = -1;  // the character clicked on (mark activation)
    bool m_dragging = false;
    bool m_dragMoved = false;
    qint64 m_lastHoverChar = -2;

    std::vector<ContextMenuBuilder> m_menuBuilders;
    QString m_requestText;
    std::function<bool()> m_requestChecked;
    std::function<bool()> m_requestAvailable;
    QTimer* m_indexTimer = nullptr;
    mutable std::unordered_map<qint64, LaidPtr> m_cache;
};

} // namespace zem::viewText
