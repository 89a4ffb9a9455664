// WinFinder: the search history, the item lists of the pattern, NOT-pattern and content fields
// and the scope choice, kept in the window's node under "SearchHistory". Each content entry
// remembers whether it was a regular expression ("regEx" beside "pattern": "1", "0", or empty
// where unknown, as for entries of older files).
#include "Logger.h"
#include "WinFinder.h"
#include "WinFinder_FindArea.h"
#include "XNode.h"
#include "gui/config/ConfigZemFinder.h"
#include "widgets/XComboBox.h"
#include "widgets/XTypedComboBox.h"

namespace zemFinder {

using zem::Logger;
using zem::xprintF;

namespace {
const QString NODE_HISTORY = QStringLiteral("SearchHistory");
const QString KEY_PATTERN = QStringLiteral("pattern");
const QString KEY_INDEX = QStringLiteral("currIndex");
const QString KEY_SCOPE = QStringLiteral("scopeIndex");
const QString KEY_REGEX = QStringLiteral("regEx");

QStringList regExFlagsOf(const QComboBox* combo)
{
    QStringList flags;
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant flag = combo->itemData(i);
        flags << (flag.isValid() ? (flag.toBool() ? QStringLiteral("1") : QStringLiteral("0")) : QString());
    }
    return flags;
}

void setRegExFlags(QComboBox* combo, const QStringList& flags)
{
    for (int i = 0; i < combo->count() && i < flags.size(); ++i)
        if (flags.at(i) == QLatin1String("1") || flags.at(i) == QLatin1String("0"))
            combo->setItemData(i, flags.at(i) == QLatin1String("1"));
}

QStringList itemsOf(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}
} // namespace

void WinFinder::restoreSearchHistory()
{
    Logger::log(QStringLiteral("WinFinder::restoreSearchHistory"), zem::LOG_PROGRESS);
    FindArea& f = *m_find;
    zem::XNode* nWin = getNodeWin();
    if (!nWin) {
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "nWin == NULL");
        f.comboScope->setCurrentIndex(int(WinFinderConfig::get().scope));
        return;
    }
    zem::XNode* nHistory = nWin->getCreateNode(NODE_HISTORY);
    const std::pair<const char*, QComboBox*> fields[] = {
        {"PatternFile", f.comboPattern}, {"NPatternFile", f.comboNotPattern}, {"Content", f.comboContent}};
    for (const auto& [name, combo] : fields) {
        zem::XNode* node = nHistory->getCreateNode(QString::fromLatin1(name));
        combo->clear();
        combo->addItems(node->getStringArray(KEY_PATTERN));
        if (combo == f.comboContent)
            setRegExFlags(combo, node->getStringArray(KEY_REGEX));
        combo->setCurrentIndex(int(node->getInt(KEY_INDEX, 0)));
    }
    f.comboScope->setCurrentIndex(
        int(nHistory->getCreateNode(QStringLiteral("Content"))->getInt(KEY_SCOPE, WinFinderConfig::get().scope)));
}

void WinFinder::saveSearchHistory()
{
    Logger::log(QStringLiteral("WinFinder::saveSearchHistory"), zem::LOG_PROGRESS);
    FindArea& f = *m_find;
    zem::XNode* nWin = getNodeWin();
    if (!nWin) {
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "nWin == NULL");
        return;
    }
    if (!f.comboPattern)
        return;
    zem::XNode* nHistory = nWin->getCreateNode(NODE_HISTORY);
    const std::pair<const char*, QComboBox*> fields[] = {
        {"PatternFile", f.comboPattern}, {"NPatternFile", f.comboNotPattern}, {"Content", f.comboContent}};
    for (const auto& [name, combo] : fields) {
        zem::XNode* node = nHistory->getCreateNode(QString::fromLatin1(name));
        node->setStringArray(KEY_PATTERN, itemsOf(combo));
        node->setInt(KEY_INDEX, combo->currentIndex());
        if (combo == f.comboContent)
            node->setStringArray(KEY_REGEX, regExFlagsOf(combo));
    }
    nHistory->getCreateNode(QStringLiteral("Content"))->setInt(KEY_SCOPE, f.comboScope->currentIndex());
}

void WinFinder::manage_combo_History(QComboBox* comboBox, const QString& text)
{
    if (text.isEmpty())
        return;
    if (!comboBox) {
        zem::nullPointerHandling("src/gui/WinFinder", __LINE__, "comboBox == NULL");
        return;
    }
    for (int i = 0; i < comboBox->count(); ++i)
        if (comboBox->itemText(i) == text)
            return;
    Logger::log(xprintF(QStringLiteral("WinFinder::manage_combo_History, add:$"), text), zem::LOG_PROGRESS);
    comboBox->addItem(text);
}

} // namespace zemFinder
