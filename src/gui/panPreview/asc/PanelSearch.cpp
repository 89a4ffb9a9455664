#include "PanelSearch.h"

#include "Logger.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "find/XContentFilter.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/panPreview/XColorLabel.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XTypedComboBox.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {
// Each style keeps its own colour: a light-style green under the dark style's light text (or a
// dark red under black text) would make the hits unreadable.
QString key_color()
{
    return zem::XTheme::isDark() ? QStringLiteral("colorDark") : QStringLiteral("color");
}
const QString NODE_HISTORY = QStringLiteral("SearchHistory");
const QString KEY_PATTERN = QStringLiteral("pattern");
} // namespace

PanelSearch::PanelSearch(QWidget* parent) : zem::XPanel(false, parent)
{
    setMargins(0, 5, 0, 5);
}

QColor PanelSearch::default_color(int number, bool dark)
{
    // On the dark background bright colours would swallow the light text; the dark style uses
    // deep tones, still one per row so that the layers stay apart.
    if (dark) {
        switch (number) {
        case 0: return QColor(142, 0, 0);
        case 1: return QColor(122, 98, 0);
        default: return QColor(0, 96, 110);
        }
    }
    switch (number) {
    case 0: return QColor(Qt::green);
    case 1: return QColor(Qt::yellow);
    default: return QColor(Qt::cyan);
    }
}

void PanelSearch::ini(int number)
{
    m_number = number;
    m_label = createLabel(xprintF(xt("Search($)"), number + 1));

    m_combo = createComboBox();
    m_combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    boxLayout()->setStretchFactor(m_combo, 1);
    m_combo->lineEdit()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_combo->lineEdit(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { show_combo_menu(pos); });

    m_regEx = createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("brackets.svg")), xt("Regular Expressions"), 16);
    m_regEx->setCheckable(true);
    m_regEx->setVisible(WinFinderConfig::get().flagRegEx);

    m_color = add(new XColorLabel(24, this));
    m_color->setNeedsControl(true);
    m_color->setColor(default_color(number, zem::XTheme::isDark()));
    m_color->setToolTip(xt("Colorized search Layer\nMouse Click to make active\n[Ctrl] + Mouse Click to change color"));

    m_scope = add(new zem::XTypedComboBox(this));
    m_scope->setToolTip(xt("Scope"));
    m_scope->addTypedItem(xt("File"), zem::find::XContentFilter::SCOPE_FILE);
    m_scope->addTypedItem(xt("Paragraph"), zem::find::XContentFilter::SCOPE_PARAGRAPH);
    m_scope->addTypedItem(xt("Sentence"), zem::find::XContentFilter::SCOPE_SENTENCE);
    m_scope->selectValue(zem::find::XContentFilter::SCOPE_PARAGRAPH);

    m_count = createLabel(QString());
    m_count->setFixedWidth(100);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_count->setAutoFillBackground(true);
    m_count->setStyleSheet(zem::XTheme::isDark() ? QStringLiteral("QLabel { background: #1d2125; padding-right: 4px; }")
                                                 : QStringLiteral("QLabel { background: lightgray; padding-right: 4px; }"));

    m_clear = createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("delete.svg")), xt("Clear"), 16);
    m_find = createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("find.svg")), xt("Find"), 16);
}

void PanelSearch::show_combo_menu(const QPoint& pos)
{
    QLineEdit* edit = m_combo->lineEdit();
    QMenu* menu = edit->createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(xt("Delete History"), this, [this] {
        const QString text = m_combo->currentText();
        m_combo->clear();
        m_combo->setEditText(text);
    });
    menu->exec(edit->mapToGlobal(pos));
    delete menu;
}

void PanelSearch::set_content_filter(const zem::find::XContentFilter& filter)
{
    set_search_text(filter.text());
    m_scope->selectValue(filter.scope());
    Logger::log(xprintF(QStringLiteral("PanelSearch::set_content_filter, filter '$'"), filter.toString()),
                zem::LOG_PROGRESS);
    m_regEx->setChecked(filter.isRegEx());
}

void PanelSearch::set_count(unsigned count)
{
    m_count->setText(zem::format1000(qint64(count)));
}

void PanelSearch::clear_texts()
{
    m_combo->setEditText(QString());
    m_count->setText(QString());
}

void PanelSearch::add_to_history(const QString& text)
{
    m_combo->add_to_history(text, kHistoryMax);
}

QColor PanelSearch::color() const
{
    return m_color->color();
}

void PanelSearch::set_color(const QColor& color)
{
    m_color->setColor(color);
}

QString PanelSearch::search_text() const
{
    return m_combo->currentText().trimmed();
}

void PanelSearch::set_search_text(const QString& text)
{
    m_combo->setEditText(text);
}

bool PanelSearch::is_regex() const
{
    return m_regEx->isChecked();
}

quint32 PanelSearch::scope() const
{
    const int index = std::max(0, m_scope->currentIndex());
    if (index >= m_scope->count()) {
        Logger::log(xprintF(QStringLiteral("XTypedComboBox_inline::selected, index:$ - type problem"), index),
                    zem::LOG_ERROR);
        return 0;
    }
    return m_scope->itemData(index).toUInt();
}

void PanelSearch::from_node(zem::XNode* node)
{
    if (!node) {
        zem::nullPointerHandling("src/gui/panPreview/asc/PanelSearch", __LINE__, "nPanSearch == NULL");
        return;
    }
    if (node->has(key_color()))
        m_color->setColor(QColor::fromRgba(quint32(node->getUInt(key_color(), color().rgba()))));
    if (zem::XNode* history = node->getNode(NODE_HISTORY)) {
        const QStringList patterns = history->getStringArray(KEY_PATTERN);
        m_combo->clear();
        for (const QString& p : patterns.mid(0, kHistoryMax))
            m_combo->addItem(p);
        m_combo->setEditText(QString());
    }
}

void PanelSearch::to_node(zem::XNode* node) const
{
    if (!node) {
        zem::nullPointerHandling("src/gui/panPreview/asc/PanelSearch", __LINE__, "nPanSearch == NULL");
        return;
    }
    node->setUInt(key_color(), color().rgba());
    node->getCreateNode(NODE_HISTORY)->setStringArray(KEY_PATTERN, m_combo->history());
}

QString PanelSearch::toString() const
{
    return xprintF(QStringLiteral("pan#$"), m_number);
}

} // namespace zemFinder
