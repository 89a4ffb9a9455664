// WinFinder: page 0 of the find area (the filter rows and the tool buttons), the filter menu
// and the listener that shows the rows of the set filter flags.
#include "KernelGUI.h"
#include "Logger.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XLang.h"
#include "XTheme.h"
#include "find/XFileFilter.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/dia/DiaHistory.h"
#include "widgets/XAction.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"
#include "widgets/XPanel.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XTypedComboBox.h"

#include <QDate>
#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

namespace {

const WinFinder::FilterItem kFilterItems[] = {
    {2, "File Name Pattern", "Comma separated Wildcard Patterns\nLike *bitmap*,MyFile*\n[ Alt+p ]"},
    {4, "File Name NOT Pattern", "NOT Wildcard Patterns (exclude)[ Alt+n ]"},
    {8, "File Time Stamp", "Time stamps supported: Before, After Between,... [ Alt+t ]"},
    {16, "File Size", "File size in bytes,kb,mb or gb [ Alt+s ]"},
    {64, "Hidden Files ( .xy )", "Hide/Show dot file names"},
    {WinFinder::FILTER_SEPARATOR, "-", ""},
    {32, "Text Files only", "Text file extensions like txt,xml,html,... [ Alt+e ]"},
    {128, "Content", "Filter Strings inside File [ Alt+c ]"},
};

const char* DATE_FORMAT = "MMMM dd yyyy";
constexpr int kDateMinWidth = 100;

QDateEdit* createDateEdit(zem::XPanel* panel)
{
    auto* edit = panel->add(new QDateEdit(QDate::currentDate(), panel));
    edit->setDisplayFormat(QString::fromLatin1(DATE_FORMAT));
    edit->setCalendarPopup(true);
    // A long month name wants some 200 px; with every filter row shown at once the date is cut
    // a little instead of pushing the window wider than a small screen.
    edit->setMinimumWidth(kDateMinWidth);
    return edit;
}

QLineEdit* createSizeEdit(zem::XPanel* panel)
{
    auto* edit = panel->createLineEdit();
    edit->setMaximumWidth(80);
    edit->setToolTip(xt("Input: pure number as bytes, or number kb,mb or gb"));
    edit->setPlaceholderText(xt("like 10kb"));
    return edit;
}

// Tells the tool panel's full-screen button of every change of the window's full-screen state.
class FullScreenWatcher : public QObject {
public:
    FullScreenWatcher(QWidget* window, zem::XButton* button) : QObject(window), m_window(window), m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowStateChange) {
            const bool full = m_window->isFullScreen();
            Logger::log(xprintF(QStringLiteral("WinFinder_setup_panel_find::setup_panel_find, fullscreen:$"), full),
                        zem::LOG_PROGRESS);
            m_button->setChecked(full);
        }
        return false;
    }

private:
    QWidget* m_window;
    zem::XButton* m_button;
};

} // namespace

void WinFinder::setup_panel_find(zem::XPanel* content)
{
    FindArea& f = *m_find;
    f.stacked = content->add(new zem::XPanelStacked(content));
    f.stacked->setContentsMargins(0, 0, 0, 0);

    auto* page = f.stacked->add(new zem::XPanel(true));
    page->setMargins(0, 4, 0, 4);
    page->setSpacing(6);

    // The content row.
    f.rowContent = page->createPanelHorizontal();
    f.rowContent->setMargins(0, 5, 0, 0);
    f.comboContent = f.rowContent->add(new zem::XComboBox(f.rowContent), 1);
    f.buttonRegEx = f.rowContent->createButtonImageIcon(zem::XTheme::iconPath(QStringLiteral("brackets.svg")),
                                                        xt("Regular Expressions"));
    f.buttonRegEx->setCheckable(true);
    f.buttonRegEx->setChecked(false);
    f.buttonRegEx->setVisible(WinFinderConfig::get().flagRegEx);
    auto content_tooltip = [&f] {
        const bool on = f.buttonRegEx->isChecked();
        f.comboContent->setToolTip(on ? xt("Type your regular expression") : xt("Type simple expression"));
        f.comboContent->lineEdit()->setPlaceholderText(on ? xt("Regular expression to find inside the files")
                                                          : xt("Text to find inside the files"));
    };
    auto apply_regex_look = [&f, content_tooltip](bool on) {
        // Tinted while it holds a regular expression; plain it takes the look's own field colours.
        f.comboContent->setStyleSheet(on ? zem::XTheme::boxStyle(zem::XTheme::RegexBox) : QString());
        content_tooltip();
    };
    QObject::connect(f.buttonRegEx, &QToolButton::toggled, f.buttonRegEx, apply_regex_look);
    apply_regex_look(false);
    // An edited expression is a new one: what was said about the last one no longer holds.
    QObject::connect(f.comboContent, &QComboBox::editTextChanged, f.comboContent, content_tooltip);
    // A history entry brings back the switch it was searched with (when that is known).
    QObject::connect(f.comboContent, QOverload<int>::of(&QComboBox::currentIndexChanged), f.comboContent,
                     [&f](int index) {
                         const QVariant regEx = f.comboContent->itemData(index);
                         if (index >= 0 && regEx.isValid() && WinFinderConfig::get().flagRegEx)
                             f.buttonRegEx->setChecked(regEx.toBool());
                     });
    f.rowContent->createLabel(QString())->setMinimumWidth(200);
    auto* scope = f.rowContent->createPanelHorizontal();
    scope->setMargins(10, 0, 0, 0);
    scope->setMinimumWidth(180);
    scope->createLabel(xt("Scope") + QStringLiteral(":"));
    f.comboScope = scope->add(new zem::XTypedComboBox(scope), 1);
    f.comboScope->addTypedItem(xt("File"), zem::find::XContentFilter::SCOPE_FILE);
    f.comboScope->addTypedItem(xt("Paragraph"), zem::find::XContentFilter::SCOPE_PARAGRAPH);
    f.comboScope->addTypedItem(xt("Sentence"), zem::find::XContentFilter::SCOPE_SENTENCE);

    // The find row.
    auto* row = page->createPanelHorizontal();
    f.buttonFilter = row->createButtonImageIcon(QStringLiteral(":/zf/icons/filter_plus.svg"), xt("Filter [ Alt+F ]"));
    *f.buttonFilter = [this] { show_filter_menu(); };
    f.comboPattern = row->add(new zem::XComboBox(row), 1);
    f.comboPattern->setToolTip(xt("Filter: File Pattern"));
    f.comboPattern->lineEdit()->setPlaceholderText(xt("File names, like *.txt,report*"));
    f.comboNotPattern = row->add(new zem::XComboBox(row), 1);
    f.comboNotPattern->setStyleSheet(zem::XTheme::boxStyle(zem::XTheme::NotPatternBox));
    f.comboNotPattern->lineEdit()->setPlaceholderText(xt("File names to leave out, like *.bak"));

    f.panelTime = row->createPanelHorizontal();
    f.comboTime = f.panelTime->add(new zem::XTypedComboBox(f.panelTime));
    f.comboTime->addTypedItem(QStringLiteral("<="), zem::XFileFilter::LE);
    f.comboTime->addTypedItem(QStringLiteral("="), zem::XFileFilter::EQ);
    f.comboTime->addTypedItem(QStringLiteral(">="), zem::XFileFilter::GE);
    f.comboTime->addTypedItem(QStringLiteral(">.<"), zem::XFileFilter::BETWEEN);
    f.comboTime->addTypedItem(xt("year"), zem::XFileFilter::YEAR);
    f.date1 = createDateEdit(f.panelTime);
    f.date2 = createDateEdit(f.panelTime);
    f.date2->setVisible(false);
    QObject::connect(f.comboTime, QOverload<int>::of(&QComboBox::currentIndexChanged), f.comboTime, [&f](int) {
        const uint32_t area = f.comboTime->selectedValue();
        Logger::log(xprintF(QStringLiteral("WinFinder::setup_panel_find, time, area:$"), area), zem::LOG_PROGRESS);
        f.date1->setDisplayFormat(area == zem::XFileFilter::YEAR ? QStringLiteral("yyyy")
                                                                 : QString::fromLatin1(DATE_FORMAT));
        f.date2->setVisible(area == zem::XFileFilter::BETWEEN);
    });

    f.panelSize = row->createPanelHorizontal();
    f.comboSize = f.panelSize->add(new zem::XTypedComboBox(f.panelSize));
    f.comboSize->addTypedItem(QStringLiteral("<="), zem::XFileFilter::LE);
    f.comboSize->addTypedItem(QStringLiteral("="), zem::XFileFilter::EQ);
    f.comboSize->addTypedItem(QStringLiteral(">="), zem::XFileFilter::GE);
    f.comboSize->addTypedItem(QStringLiteral("<.>"), zem::XFileFilter::BETWEEN);
    f.size1 = createSizeEdit(f.panelSize);
    f.size2 = createSizeEdit(f.panelSize);
    f.size2->setVisible(false);
    QObject::connect(f.comboSize, QOverload<int>::of(&QComboBox::currentIndexChanged), f.comboSize, [&f](int) {
        const uint32_t area = f.comboSize->selectedValue();
        Logger::log(xprintF(QStringLiteral("WinFinder::setup_panel_find, size, area:$"), area), zem::LOG_PROGRESS);
        f.size2->setVisible(area == zem::XFileFilter::BETWEEN);
    });
    row->addStretch(0);

    // The tool panel. Buttons for windows that do not exist yet come with them.
    auto* tools = row->createPanelHorizontal();
    tools->setMinimumWidth(180);
    auto icon = [](const char* name) { return zem::XTheme::iconPath(QString::fromLatin1(name)); };
    *tools->createButtonImageIcon(icon("find.svg"), xt("Search for Files and Contents")) = [this] { on_find(); };
    *tools->createButtonImageIcon(icon("bookmark.svg"), xt("Bookmarks [ Alt + b]")) = [this] { on_bookmarks(); };
    *tools->createButtonImageIcon(icon("collapse.svg"), xt("Collapse Tree")) = [this] { collapse_tree(); };
    *tools->createButtonImageIcon(QStringLiteral(":/zf/icons/tree3.svg"), xt("Tree Views (Normal, Details, No Tree)")) =
        [this] { step_tree_mode(); };
    // Click: the application editor; right click: the applications menu for the current file.
    zem::XButton* apps = tools->createButtonImageIcon(icon("app.svg"), xt("Custom Applications"));
    apps->setObjectName(QStringLiteral("buttonApps"));
    *apps = [] { open_app_editor(); };
    apps->mouseListener.add([this](QMouseEvent* event) {
        // Later, so that the menu's own event loop does not run inside the button's listener.
        if (zem::XButton::isRightButton(event))
            QTimer::singleShot(0, this, [this] { show_apps_menu(); });
    });
    f.buttonConfig = tools->createButtonImageIcon(icon("wheel.svg"), xt("Zem Finder Configuration"));
    f.buttonConfig->mouseListener.add([this](QMouseEvent* event) {
        if (zem::XButton::isRightButton(event))
            show_settings_menu();
    });
    *f.buttonConfig = [this] { on_config(); };
    *tools->createButtonImageIcon(icon("help.svg"), xt("Help")) = [this] { helpProgram(); };
    *tools->createButtonImageIcon(icon("window.svg"), xt("New Window")) = [] { new_win(QString()); };
    f.buttonFullScreen = tools->createButtonImageIcon(icon("expand.svg"), xt("Toggle Full Screen"));
    f.buttonFullScreen->setCheckable(true);
    *f.buttonFullScreen = [this] { toggle_full_screen(); };
    installEventFilter(new FullScreenWatcher(this, f.buttonFullScreen));
    *tools->createButtonImageIcon(icon("hide.svg"), xt("Hide to Tray Menu [ Alt + h ]")) = [this] { hide_to_tray(); };

    for (QComboBox* combo : {static_cast<QComboBox*>(f.comboPattern), static_cast<QComboBox*>(f.comboNotPattern),
                             static_cast<QComboBox*>(f.comboContent)}) {
        QLineEdit* edit = combo->lineEdit();
        edit->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(edit, &QWidget::customContextMenuRequested, edit, [this, combo, edit](const QPoint& pos) {
            QMenu* menu = create_history_context_menu(combo);
            menu->exec(edit->mapToGlobal(pos));
            menu->deleteLater();
        });
    }

    setup_panel_find_pages();
    restoreSearchHistory();

    filterFlagsListener.add([this](uint32_t flags) { apply_filter_flags(flags); });
    addHotKeyMethod(Qt::ALT | Qt::Key_F, [this] { show_filter_menu(); });
    addHotKeyMethod(Qt::Key_Escape, [this] { on_escape_key(); });
    apply_filter_flags(filter_flags());
}

QList<WinFinder::FilterItem> WinFinder::filter_items()
{
    return QList<FilterItem>(std::begin(kFilterItems), std::end(kFilterItems));
}

void WinFinder::apply_filter_flags(uint32_t flags)
{
    FindArea& f = *m_find;
    if (!f.stacked)
        return;
    f.comboPattern->setVisible(flags & FLAG_PATTERN);
    f.comboNotPattern->setVisible(flags & FLAG_NOT_PATTERN);
    f.rowContent->setVisible(flags & FLAG_CONTENT);
    f.panelTime->setVisible(flags & FLAG_TIME);
    f.panelSize->setVisible(flags & FLAG_SIZE);
    // The last applicable row takes the focus.
    if (flags & FLAG_TIME)
        f.comboTime->setFocus();
    if (flags & FLAG_SIZE)
        f.comboSize->setFocus();
    if (flags & FLAG_PATTERN)
        f.comboPattern->setFocus();
    if (flags & FLAG_NOT_PATTERN)
        f.comboNotPattern->setFocus();
    if (flags & FLAG_CONTENT)
        f.comboContent->setFocus();
    f.buttonFilter->setIcon(QIcon((flags & FLAG_TEXT_FILES) ? QStringLiteral(":/zf/icons/filter_plus_green.svg")
                                                            : QStringLiteral(":/zf/icons/filter_plus.svg")));
}

zem::XMenu* WinFinder::create_filter_menu()
{
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    const uint32_t flags = filter_flags();
    for (const FilterItem& item : kFilterItems) {
        if (item.bit == FILTER_SEPARATOR) {
            menu->addSeparator();
            continue;
        }
        zem::XAction* action = menu->createAction(xt(item.label), true, flags & item.bit, true, int(item.bit));
        action->setToolTip(xt(item.tooltip));
        const uint32_t bit = item.bit;
        *action = [this, bit, action] {
            set_filter_flags(action->isChecked() ? (filter_flags() | bit) : (filter_flags() & ~bit));
        };
    }
    menu->addSeparator();
    *menu->createAction(xt("Set to favorite filter"), false, false, true, 0) = [this] {
        set_filter_flags(WinFinderConfig::get().filterBits);
    };
    return menu;
}

QMenu* WinFinder::create_history_context_menu(QComboBox* comboBox)
{
    QMenu* menu = comboBox->lineEdit()->createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(xt("Edit History"), comboBox, [this, comboBox] { edit_combo_history(comboBox); });
    return menu;
}

void WinFinder::edit_combo_history(QComboBox* comboBox)
{
    QStringList items;
    for (int i = 0; i < comboBox->count(); ++i)
        items << comboBox->itemText(i);
    bool ok = false;
    const QStringList edited = DiaHistory::edit(this, items, &ok);
    if (!ok)
        return;
    // A text typed but not yet searched for stays in the field.
    const QString current = comboBox->currentText();
    comboBox->clear();
    comboBox->addItems(edited);
    const int index = edited.indexOf(current);
    comboBox->setCurrentIndex(index);
    if (index < 0)
        comboBox->setEditText(current);
}

void WinFinder::show_filter_menu()
{
    zem::XMenu* menu = create_filter_menu();
    QWidget* anchor = m_find->buttonFilter;
    menu->exec(anchor ? anchor->mapToGlobal(QPoint(0, anchor->height())) : QCursor::pos());
    menu->deleteLater();
}

zem::XMenu* WinFinder::create_settings_menu()
{
    WinFinderConfig& config = WinFinderConfig::get();
    auto* menu = new zem::XMenu(this);
    menu->setToolTipsVisible(true);
    zem::XAction* mouseOver =
        menu->createAction(xt("Mouse Over Info"), true, config.flagTreeMouseOverInfo, true, 1);
    *mouseOver = [mouseOver] { WinFinderConfig::get().flagTreeMouseOverInfo = mouseOver->isChecked(); };
    zem::XAction* statusBar = menu->createAction(xt("Status Bar"), true, config.flagStatusBar, true, 2);
    *statusBar = [statusBar] {
        WinFinderConfig::get().flagStatusBar = statusBar->isChecked();
        apply_status_bar_flag();
    };
    menu->addSeparator();
    *menu->createAction(zem::XTheme::iconPath(QStringLiteral("wheel.svg")), xt("Configuration Dialog"), 3) = [this] {
        on_config();
    };
    menu->addSeparator();
    *menu->createAction(xt("Language Editor"), false, false, true, 4) = [this] { on_lang_editor(); };
    return menu;
}

void WinFinder::show_settings_menu()
{
    zem::XMenu* menu = create_settings_menu();
    menu->exec_at_mouse_Pos();
    menu->deleteLater();
}

} // namespace zemFinder
