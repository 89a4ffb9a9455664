#pragma once
// A widget with a box layout and creators for the usual children. The panel owns what it creates;
// the creators return non-owning pointers.
#include <QWidget>

class QBoxLayout;
class QCheckBox;
class QLabel;
class QLineEdit;

namespace zem {

class XButton;
class XComboBox;

class XPanel : public QWidget {
    Q_OBJECT
public:
    explicit XPanel(bool vertical = true, QWidget* parent = nullptr);

    QBoxLayout* boxLayout() const { return m_layout; }
    bool isVertical() const;

    // Takes ownership of widget and appends it; returns it.
    template <typename W>
    W* add(W* widget, int stretch = 0)
    {
        addWidgetTo(widget, stretch);
        return widget;
    }
    void addStretch(int stretch = 1);
    void addSpacing(int pixels);

    XPanel* createPanelHorizontal();
    XPanel* createPanelVertical();
    // A flat button showing the icon at size x size pixels; the tooltip is shown as given.
    XButton* createButtonImageIcon(const QString& iconPath, const QString& tooltip, int size = 16);
    QLabel* createLabel(const QString& text);
    QLineEdit* createLineEdit(const QString& text = QString());
    XComboBox* createComboBox();
    QCheckBox* createCheckBox(const QString& text, bool checked);

    void setName(const QString& name) { setObjectName(name); }
    // Margins all round and spacing in one call.
    void set_args(int margin, int spacing);
    void setMargins(int left, int top, int right, int bottom);
    void setSpacing(int spacing);

private:
    void addWidgetTo(QWidget* widget, int stretch);

    QBoxLayout* m_layout;
};

} // namespace zem
