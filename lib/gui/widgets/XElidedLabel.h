#pragma once
// A one-line label that never asks for the width of its whole text: when the text does not fit,
// it is shown shortened (at the end or in the middle) and the whole text becomes the tooltip.
// Layouts therefore cannot be widened by a long path or summary. Plain text only; rich text is
// painted by QLabel as usual. GUI thread only.
#include <QLabel>

namespace zem {

class XElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit XElidedLabel(QWidget* parent = nullptr, Qt::TextElideMode mode = Qt::ElideRight);

    QSize minimumSizeHint() const override;
    // The text as it is painted at the current width.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool isPlain() const;
    // Keeps the tooltip at the whole text while it is shortened; a tooltip set by the owner stays.
    void update_tooltip();

    Qt::TextElideMode m_mode;
    QString m_autoTip;
};

} // namespace zem
