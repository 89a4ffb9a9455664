#include "gui/config/DiaWinFinderConfig.h"

#include "KernelGUI.h"
#include "Logger.h"
#include "XFontScale.h"
#include "XLang.h"
#include "XNode.h"
#include "XTheme.h"
#include "XTools.h"
#include "gui/WinFinder.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"
#include "widgets/XTypedComboBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zemFinder {

using zem::Logger;
using zem::xprintF;
using zem::xt;

std::function<int(DiaZemFinderConfig&)> DiaZemFinderConfig::execHook;
std::function<QString(const QString&, const QString&)> DiaZemFinderConfig::chooseDirHook;

namespace {
constexpr int LABEL_WIDTH = 140;
constexpr int FAVORITE_LABEL_WIDTH = 300;
constexpr uint32_t KEY_CTRL = 0x4000000;
constexpr uint32_t KEY_SHIFT = 0x2000000;
constexpr uint32_t KEY_ALT = 0x8000000;
// Font sizes outside the offered range come from a damaged record; this one reads well.
constexpr uint32_t FONT_SIZE_FALLBACK = 16;

QList<uint32_t> range(uint32_t from, uint32_t to, uint32_t step)
{
    QList<uint32_t> values;
    for (uint32_t v = from; v <= to; v += step)
        values << v;
    return values;
}

// A click on a row's name toggles the row's check box, as a click on its own text would.
class ClickToggles : public QObject {
public:
    ClickToggles(QLabel* label, QCheckBox* box) : QObject(label), m_box(box) { label->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease && m_box->isEnabled())
            m_box->toggle();
        return false;
    }

private:
    QCheckBox* m_box;
};

QLabel* greyLabel(zem::XPanel* panel, const QString& text)
{
    QLabel* label = panel->createLabel(text);
    label->setEnabled(false);
    return label;
}

QLabel* heading(zem::XPanel* panel, const QString& text)
{
    QLabel* label = panel->createLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QString joinFolders(const FileInfoSet& folders)
{
    QStringList paths;
    for (const QFileInfo& folder : folders)
        paths << folder.absoluteFilePath();
    paths.sort();
    return paths.join(QLatin1Char(';'));
}
} // namespace

DiaZemFinderConfig::DiaZemFinderConfig(const WinFinderConfig& config, QWidget* parent) : QDialog(parent), m_cfg(config)
{
    setWindowTitle(xt("Zem Finder -  Configuraton"));
    setWindowIcon(QIcon(zem::XTheme::iconPath(QStringLiteral("wheel.svg"))));
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs, 1);
    const std::pair<const char*, void (DiaZemFinderConfig::*)(zem::XPanel*)> pages[] = {
        {"General", &DiaZemFinderConfig::setup_page_general},
        {"Tree", &DiaZemFinderConfig::setup_page_tree},
        {"Filter", &DiaZemFinderConfig::setup_page_filter},
        {"Text View", &DiaZemFinderConfig::setup_page_text}};
    for (const auto& [title, setup] : pages) {
        auto* page = new zem::XPanel(true);
        page->set_args(8, 4);
        (this->*setup)(page);
        tabs->addTab(page, xt(title));
    }

    // Translated names may be wider than the usual column; the controls still line up.
    int width = LABEL_WIDTH;
    for (QLabel* label : qAsConst(m_rowLabels))
        width = qMax(width, label->sizeHint().width());
    for (QLabel* label : qAsConst(m_rowLabels))
        label->setMinimumWidth(width);

    auto* buttons = new zem::XPanel(false);
    layout->addWidget(buttons);
    buttons->addStretch(1);
    auto* ok = buttons->add(new QPushButton(QIcon(zem::XTheme::iconPath(QStringLiteral("apply-ok.svg"))), xt("OK")));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel =
        buttons->add(new QPushButton(QIcon(zem::XTheme::iconPath(QStringLiteral("apply-cancel.svg"))), xt("Cancel")));
    cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addStretch(1);
    connect(ok, &QPushButton::clicked, this, [this] {
        set_cfg_from_gui();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

zem::XPanel* DiaZemFinderConfig::add_row(zem::XPanel* page, const QString& label, QWidget* control,
                                         const QString& description, QCheckBox* toggled)
{
    zem::XPanel* row = page->createPanelHorizontal();
    QLabel* name = row->createLabel(label);
    name->setMinimumWidth(LABEL_WIDTH);
    m_rowLabels << name;
    if (toggled)
        new ClickToggles(name, toggled);
    if (control) {
        control->setParent(row);
        row->add(control);
    }
    row->addStretch(1);
    if (!description.isEmpty())
        greyLabel(row, description);
    return row;
}

QCheckBox* DiaZemFinderConfig::add_flag(zem::XPanel* panel, const QString& text, bool* field, const QString& name)
{
    QCheckBox* box = panel->createCheckBox(text, *field);
    box->setObjectName(name);
    connect(box, &QCheckBox::toggled, this, [field](bool on) { *field = on; });
    return box;
}

zem::XTypedComboBox* DiaZemFinderConfig::add_choice(zem::XPanel* parent, const QList<uint32_t>& values, uint32_t preset,
                                                    const QString& name)
{
    auto* combo = new zem::XTypedComboBox(parent);
    combo->setObjectName(name);
    for (uint32_t value : values)
        combo->addTypedItem(QString::number(value), value);
    if (!combo->selectValue(preset)) {
        Logger::log(xprintF(QStringLiteral("XTypedComboBox<$>::select, value '$' not found"), name, preset),
                    zem::LOG_WARN);
        combo->setCurrentIndex(0);
    }
    return combo;
}

void DiaZemFinderConfig::setup_page_general(zem::XPanel* page)
{
    m_threads = add_choice(page, {1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20, 24, 28, 32}, m_cfg.countThreads,
                           QStringLiteral("threads"));
    m_threads->setMinimumWidth(70);
    add_row(page, xt("Threads") + QStringLiteral(":"), m_threads, xt("Full Text Search - Multiple Parallel Tasks"));

    m_scaling = add_choice(page, range(zem::XFontScale::MIN_PERCENT, zem::XFontScale::MAX_PERCENT, 10),
                           zem::XFontScale::percent(), QStringLiteral("scaling"));
    add_row(page, xt("Scaling"), m_scaling, xt("Scale Fonts + Icons"));

    m_fontSizeHex = add_choice(page, range(10, 31, 1), m_cfg.fontSizeHexView, QStringLiteral("fontSizeHex"));
    add_row(page, xt("Font Size Hex-View"), m_fontSizeHex, xt("Font Size Hex Viewer"));

    QCheckBox* status = add_flag(page, QString(), &m_cfg.flagStatusBar, QStringLiteral("statusBar"));
    add_row(page, xt("Status Bar"), status, xt("Show/Hide Statusbar"), status);

    auto* prop = new zem::XPanel(false);
    QCheckBox* propLoad = add_flag(prop, QString(), &m_cfg.flagPropAutoLoad, QStringLiteral("propAutoLoad"));
    m_propMax = add_choice(prop, {1, 2, 3, 4, 5, 10, 20, 50, 100, 200},
                           uint32_t(m_cfg.max_file_size_auto_calc_checksums), QStringLiteral("propMaxSize"));
    prop->add(m_propMax);
    m_propMax->setEnabled(m_cfg.flagPropAutoLoad);
    connect(propLoad, &QCheckBox::toggled, m_propMax, &QWidget::setEnabled);
    add_row(page, xt("Property Autoload"), prop, xt("max auto load (mb)"), propLoad);

    QCheckBox* dark = add_flag(page, QString(), &m_cfg.flagDarkTheme, QStringLiteral("darkTheme"));
    add_row(page, xt("Dark Theme"), dark, xt("Theme of Zem Finder"), dark);

    auto* keys = new zem::XPanel(false);
    const uint32_t hotkey = m_cfg.HotkeyCyclePreviews;
    m_keyCtrl = keys->createCheckBox(QStringLiteral("CTRL"), hotkey & KEY_CTRL);
    m_keyShift = keys->createCheckBox(QStringLiteral("SHIFT"), hotkey & KEY_SHIFT);
    m_keyAlt = keys->createCheckBox(QStringLiteral("ALT"), hotkey & KEY_ALT);
    m_keyCtrl->setObjectName(QStringLiteral("keyCtrl"));
    m_keyShift->setObjectName(QStringLiteral("keyShift"));
    m_keyAlt->setObjectName(QStringLiteral("keyAlt"));
    add_row(page, xt("Cycle Previews"), keys, xt("Key Combination"));

    QCheckBox* readOnly = add_flag(page, QString(), &m_cfg.flag_zf_read_only, QStringLiteral("readOnly"));
    add_row(page, xt("Read-Only"), readOnly, xt("Delete,rename - not allowed"), readOnly);

    m_language = new QComboBox;
    m_language->setObjectName(QStringLiteral("language"));
    m_language->addItems(zem::XLang::languages());
    m_language->setCurrentText(zem::XTools::get_lang());
    add_row(page, xt("Language"), m_language, xt("Choose display language"));

    QCheckBox* quit = add_flag(page, QString(), &m_cfg.flagConfirmQuit, QStringLiteral("confirmQuit"));
    add_row(page, xt("Confirm quit"), quit, xt("Confirm quitting program"), quit);
    page->addStretch(1);
}

void DiaZemFinderConfig::setup_page_tree(zem::XPanel* page)
{
    heading(page, xt("Show"));
    zem::XPanel* show = page->createPanelHorizontal();
    add_flag(show, xt("Date + Size"), &m_cfg.flagTreeDateSize, QStringLiteral("treeDateSize"))
        ->setToolTip(xt("Tree: Details - Time Stamp and Size"));
    add_flag(show, xt("Mouse Over Info"), &m_cfg.flagTreeMouseOverInfo, QStringLiteral("treeMouseOver"))
        ->setToolTip(xt("Tree: Mouse Over Info (Fullpath, Date+Size)"));
    show->addStretch(1);
    add_flag(show, xt("Directories only"), &m_cfg.flagTreeDirOnly, QStringLiteral("treeDirOnly"))
        ->setToolTip(xt("Tree: Directories only or Directories and Files"));

    zem::XPanel* frame = page->createPanelVertical();
    frame->setName(QStringLiteral("filter"));
    frame->setAttribute(Qt::WA_StyledBackground, true);
    // The panel is a plain widget, so the border rule names it by its object name alone.
    frame->setStyleSheet(xprintF(QStringLiteral("#filter{border-style:solid;border-width:1px;border-color:$;}"),
                                 zem::XTheme::isDark() ? "#777a7d" : "gray"));
    frame->set_args(6, 4);
    heading(frame, xt("Hide"));
    m_filterField = frame->add(new QPlainTextEdit(joinFolders(m_cfg.filter)));
    m_filterField->setObjectName(QStringLiteral("filterField"));
    m_filterField->setMaximumHeight(100);
    zem::XPanel* filterRow = frame->createPanelHorizontal();
    add_flag(filterRow, xt("Use Filter"), &m_cfg.flagUseFilter, QStringLiteral("useFilter"))
        ->setToolTip(xt("Filter for Directory Tree"));
    filterRow->addStretch(1);
    auto* add = filterRow->add(new QPushButton(xt("&add")));
    add->setObjectName(QStringLiteral("addFilter"));
    connect(add, &QPushButton::clicked, this, [this] {
        QString dir = choose_dir(xt("Select a Directory"), QDir::currentPath());
        if (dir != QLatin1String("/"))
            add_filter_folder(dir);
    });
    auto* clear = filterRow->add(new QPushButton(xt("&clear")));
    clear->setObjectName(QStringLiteral("clearFilter"));
    connect(clear, &QPushButton::clicked, this, [this] { clear_filter(); });

    const std::tuple<const char*, bool*, QLineEdit**, QString, const char*, const char*> folders[] = {
        {"Use Start Folder", &m_cfg.flagUseStartFolder, &m_startFolder, m_cfg.startFolder,
         "Start Folder for Zem Finder", "startFolder"},
        {"Use Root Folder", &m_cfg.flagUseRootFolder, &m_rootFolder, m_cfg.root, "Root Folder for Zem Finder",
         "rootFolder"}};
    for (const auto& [label, flag, field, value, title, name] : folders) {
        zem::XPanel* row = page->createPanelHorizontal();
        add_flag(row, xt(label), flag, QString::fromLatin1(name) + QStringLiteral("Use"));
        row->addStretch(1);
        auto* select = row->add(new QPushButton(xt("select")));
        *field = page->createLineEdit(value);
        (*field)->setObjectName(QString::fromLatin1(name));
        QLineEdit* edit = *field;
        const QString chooserTitle = xt(title);
        connect(select, &QPushButton::clicked, this, [this, edit, chooserTitle] {
            const QString dir = choose_dir(chooserTitle, m_cfg.startFolder);
            if (!dir.isEmpty())
                edit->setText(dir);
        });
    }
    page->addStretch(1);
}

void DiaZemFinderConfig::setup_page_filter(zem::XPanel* page)
{
    heading(page, xt("Favorite Filter"));
    for (const WinFinder::FilterItem& item : WinFinder::filter_items()) {
        if (item.bit == WinFinder::FILTER_SEPARATOR)
            continue;
        zem::XPanel* row = page->createPanelHorizontal();
        QLabel* label = row->createLabel(xt(item.label));
        label->setMinimumWidth(FAVORITE_LABEL_WIDTH);
        QCheckBox* box = row->createCheckBox(QString(), m_cfg.filterBits & item.bit);
        box->setObjectName(QStringLiteral("favorite%1").arg(item.bit));
        new ClickToggles(label, box);
        row->addStretch(1);
        greyLabel(row, xt(item.tooltip).simplified());
        m_favorites << qMakePair(item.bit, box);
    }

    heading(page, xt("Scope"));
    zem::XPanel* scopeRow = page->createPanelHorizontal();
    m_scope = scopeRow->add(new zem::XTypedComboBox(scopeRow));
    m_scope->setObjectName(QStringLiteral("scope"));
    m_scope->addTypedItem(xt("File"), 0);
    m_scope->addTypedItem(xt("Paragraph"), 1);
    m_scope->addTypedItem(xt("Sentence"), 2);
    if (!m_scope->selectValue(m_cfg.scope))
        Logger::log(xprintF(QStringLiteral("XTypedComboBox<$>::select, value '$' not found"), "scope", m_cfg.scope),
                    zem::LOG_WARN);
    scopeRow->addStretch(1);
    greyLabel(scopeRow, xt("Scope of searching"));

    heading(page, xt("Regular Expressions"));
    zem::XPanel* regexRow = page->createPanelHorizontal();
    QLabel* regexLabel = regexRow->createLabel(QStringLiteral("regEx"));
    regexLabel->setMinimumWidth(LABEL_WIDTH);
    new ClickToggles(regexLabel, add_flag(regexRow, QString(), &m_cfg.flagRegEx, QStringLiteral("regEx")));
    regexRow->addStretch(1);
    greyLabel(regexRow, xt("If enabled you will see [] Button"));
    page->addStretch(1);
}

void DiaZemFinderConfig::setup_page_text(zem::XPanel* page)
{
    zem::XPanel* extRow = page->createPanelHorizontal();
    QLabel* extLabel = extRow->createLabel(xt("File Extensions\nfor Text Files\nASCII + UTF8"));
    extLabel->setMinimumWidth(LABEL_WIDTH);
    extLabel->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    // Blanks after the commas let the field wrap between extensions, not inside one.
    const QString extensions = m_cfg.ext_to_string(true).replace(QLatin1Char(','), QStringLiteral(", "));
    m_extensions = extRow->add(new QPlainTextEdit(extensions), 1);
    m_extensions->setObjectName(QStringLiteral("extensions"));

    m_fontSize = add_choice(page, range(10, 31, 1) + range(32, 64, 4), m_cfg.fontSize, QStringLiteral("fontSize"));
    add_row(page, xt("Font Size"), m_fontSize, xt("Text Viewer Default Font Size"));
    QCheckBox* ruler = add_flag(page, QString(), &m_cfg.flagRuler, QStringLiteral("ruler"));
    add_row(page, xt("Ruler"), ruler, xt("Ruler for Text Viewer"), ruler);
    QCheckBox* wrap = add_flag(page, QString(), &m_cfg.flagAutoWrap, QStringLiteral("autoWrap"));
    add_row(page, xt("Auto Wrap"), wrap, xt("Wraps if 3 byte seq UTF8 detected"), wrap);

    auto* positions = new zem::XPanel(false);
    m_linePos = new QButtonGroup(this);
    const std::pair<const char*, int> buttons[] = {{"Off", 0}, {"Top Right", 1}, {"Bottom Right", 2}};
    for (const auto& [text, id] : buttons) {
        auto* radio = positions->add(new QRadioButton(xt(text)));
        radio->setObjectName(QStringLiteral("linePos%1").arg(id));
        m_linePos->addButton(radio, id);
    }
    if (QAbstractButton* current = m_linePos->button(m_cfg.li_pos))
        current->setChecked(true);
    else
        Logger::log(
            xprintF(QStringLiteral("XButtonGroupTyped<TYPE>::select, bt with ID:$ does not exist"), m_cfg.li_pos),
            zem::LOG_WARN);
    add_row(page, xt("Line Info Pos"), positions, QString());
    page->addStretch(1);
}

uint32_t DiaZemFinderConfig::scaling() const
{
    return m_scaling->selectedValue(zem::XFontScale::MIN_PERCENT);
}

QString DiaZemFinderConfig::language() const
{
    return m_language->currentText();
}

QString DiaZemFinderConfig::choose_dir(const QString& title, const QString& dir)
{
    if (chooseDirHook)
        return chooseDirHook(title, dir);
    return QFileDialog::getExistingDirectory(this, title, dir, QFileDialog::ShowDirsOnly);
}

FileInfoSet DiaZemFinderConfig::folders_from_field() const
{
    FileInfoSet folders;
    for (const QString& path : m_filterField->toPlainText().split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!path.trimmed().isEmpty())
            folders.insert(QFileInfo(path.trimmed()));
    return folders;
}

void DiaZemFinderConfig::show_filter_folders()
{
    m_filterField->setPlainText(joinFolders(m_cfg.filter));
}

bool DiaZemFinderConfig::add_filter_folder(const QString& path)
{
    if (path.isEmpty())
        return false;
    // The field may hold hand edits; they count as much as the chooser's folders.
    m_cfg.filter = folders_from_field();
    const size_t before = m_cfg.filter.size();
    m_cfg.filter.insert(QFileInfo(path));
    if (m_cfg.filter.size() == before)
        return false;
    show_filter_folders();
    return true;
}

void DiaZemFinderConfig::clear_filter()
{
    m_cfg.filter.clear();
    m_filterField->clear();
}

void DiaZemFinderConfig::set_cfg_from_gui()
{
    auto fontSize = [](uint32_t size) { return size < 10 || size > 64 ? FONT_SIZE_FALLBACK : size; };
    m_cfg.countThreads = m_threads->selectedValue(1);
    m_cfg.fontSize = fontSize(m_fontSize->selectedValue(0));
    m_cfg.fontSizeHexView = fontSize(m_fontSizeHex->selectedValue(0));
    m_cfg.max_file_size_auto_calc_checksums = m_propMax->selectedValue(1);
    m_cfg.startFolder = m_startFolder->text().trimmed();
    m_cfg.root = m_rootFolder->text().trimmed();

    if (zem::KernelGUI::kernelGui())
        zem::ZemEngine::set_lang(language());
    else
        zem::nullPointerHandling("src/gui/config/DiaWinFinderConfig", __LINE__, "nEngine == NULL");
    zem::XTools::set_lang(language());

    WinFinderConfig parsed;
    parsed.TextFiles.clear();
    // An emptied field keeps the extensions: a finder without text files cannot search contents.
    if (parsed.ext_from_string(m_extensions->toPlainText()))
        m_cfg.TextFiles = parsed.TextFiles;
    m_cfg.filter = folders_from_field();

    if (m_linePos->checkedId() < 0) {
        Logger::log(xprintF(QStringLiteral("XButtonGroupTyped<$>::currentEnum, no current enum, return 0"), "int"),
                    zem::LOG_WARN);
        m_cfg.li_pos = 0;
    } else {
        m_cfg.li_pos = m_linePos->checkedId();
    }
    m_cfg.HotkeyCyclePreviews = (m_keyCtrl->isChecked() ? KEY_CTRL : 0) | (m_keyShift->isChecked() ? KEY_SHIFT : 0)
                                | (m_keyAlt->isChecked() ? KEY_ALT : 0);
    uint32_t bits = 0;
    for (const auto& [bit, box] : m_favorites)
        if (box->isChecked())
            bits |= bit;
    m_cfg.filterBits = bits;
    m_cfg.scope = m_scope->selectedValue(1);
    Logger::log(xprintF(QStringLiteral("DiaWinFinderConfig::set_cfg_from_gui, cfg.li_pos:$"), m_cfg.li_pos),
                zem::LOG_PROGRESS);
}

int DiaZemFinderConfig::run()
{
    if (execHook)
        return execHook(*this);
    return exec();
}

} // namespace zemFinder
