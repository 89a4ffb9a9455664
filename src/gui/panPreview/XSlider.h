#pragma once
// The navigation slider of the text tab: a vertical slider whose top stands for the first mark.
// A value v means mark (maximum - v); placing the handle for a mark does not fire valueChanged,
// so that only the user's moves choose a mark. GUI thread only.
#include <QSlider>

namespace zemFinder {

class XSlider : public QSlider {
    Q_OBJECT
public:
    explicit XSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // A vertical slider from min to max, stepping a page at a time.
    static XSlider* createSliderVertical(int min, int max, int pageStep, QWidget* parent = nullptr);

    // Places the handle at index counted from the top; emit false keeps the signals quiet.
    void set_value_revers(int index, bool emit);
    // The index (counted from the top) that value stands for.
    int index_from_value(int value) const { return maximum() - value; }
    // The handle's colour in the navigation style sheet.
    void set_handle_color(const QColor& color);

    // The navigation style sheet with $(BG_HANDLE) replaced by colour (#rrggbb); other variables stay.
    static QString style_sheet(const QColor& color);
};

} // namespace zemFinder
