// The history editor: moving, editing and deleting entries with their selection rules, Cancel and
// OK, and "Edit History" in the find boxes' context menus.
#include "KernelGUI.h"
#include "TestDir.h"
#include "XNode.h"
#include "gui/WinFinder.h"
#include "gui/WinFinder_FindArea.h"
#include "gui/config/ConfigZemFinder.h"
#include "gui/dia/DiaHistory.h"
#include "gui/dia/ListModelHistory.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"

#include <QMenu>
#include <QtTest>

using zemFinder::DiaHistory;
using zemFinder::ListModelHistory;
using zemFinder::WinFinder;

namespace {
const QStringList ABC{"a", "b", "c"};

void click(DiaHistory& dia, const char* name)
{
    auto* button = dia.findChild<zem::XButton*>(QString::fromLatin1(name));
    QVERIFY(button);
    button->click();
}
} // namespace

class TestHistoryEditor : public QObject {
    Q_OBJECT

private:
    int m_answer = 0;
    QString m_inputAnswer;
    QStringList m_asked;

private Q_SLOTS:
    void init()
    {
        m_answer = 0;
        m_asked.clear();
        zem::XBox::testHook = [this](zem::XBox::Kind, const QString& title, const QString&) {
            m_asked << title;
            return m_answer;
        };
        zem::XBoxInput::testHook = [this](const QString& title, const QString&, const QString&) {
            m_asked << title;
            return m_inputAnswer;
        };
        DiaHistory::execHook = nullptr;
    }

    // --- Selection rules ---

    void deletingTheLastOfThreeSelectsTheNewLast()
    {
        DiaHistory dia(ABC);
        dia.select_row(2);
        click(dia, "delete");
        QCOMPARE(dia.history(), QStringList({"a", "b"}));
        QCOMPARE(dia.selected_row(), 1);
    }

    void deletingInTheMiddleKeepsTheRowIndex()
    {
        DiaHistory dia(ABC);
        dia.select_row(0);
        click(dia, "delete");
        QCOMPARE(dia.history(), QStringList({"b", "c"}));
        QCOMPARE(dia.selected_row(), 0);
        click(dia, "delete");
        click(dia, "delete");
        QVERIFY(dia.history().isEmpty());
        QCOMPARE(dia.selected_row(), -1);
    }

    void movesFollowTheSelectionAndStopAtTheEnds()
    {
        DiaHistory dia(ABC);
        click(dia, "up");   // nothing selected
        QCOMPARE(dia.history(), ABC);
        dia.select_row(2);
        click(dia, "up");
        QCOMPARE(dia.history(), QStringList({"a", "c", "b"}));
        QCOMPARE(dia.selected_row(), 1);
        click(dia, "up");
        click(dia, "up");
        QCOMPARE(dia.history(), QStringList({"c", "a", "b"}));
        QCOMPARE(dia.selected_row(), 0);
        click(dia, "down");
        QCOMPARE(dia.history(), QStringList({"a", "c", "b"}));
        QCOMPARE(dia.selected_row(), 1);
        dia.select_row(2);
        click(dia, "down");
        QCOMPARE(dia.history(), QStringList({"a", "c", "b"}));
    }

    // --- Editing ---

    void editReplacesOnlyWithANewNonEmptyText()
    {
        DiaHistory dia(ABC);
        click(dia, "edit");   // nothing selected: not even asked
        QVERIFY(m_asked.isEmpty());
        dia.select_row(1);
        m_inputAnswer = "b";
        click(dia, "edit");
        QCOMPARE(m_asked, QStringList({"Edit History"}));
        QCOMPARE(dia.history(), ABC);
        m_inputAnswer = QString();
        click(dia, "edit");
        QCOMPARE(dia.history(), ABC);
        m_inputAnswer = "*.cpp";
        click(dia, "edit");
        QCOMPARE(dia.history(), QStringList({"a", "*.cpp", "c"}));
        QCOMPARE(dia.selected_row(), 1);
    }

    void deleteAllAsksAndOnlyYesEmpties()
    {
        DiaHistory dia(ABC);
        click(dia, "deleteAll");
        QCOMPARE(m_asked, QStringList({"Delete History"}));
        QCOMPARE(dia.history(), ABC);
        m_answer = 1;
        click(dia, "deleteAll");
        QVERIFY(dia.history().isEmpty());
    }

    void outOfRangeRowsYieldNothing()
    {
        ListModelHistory model(ABC);
        QCOMPARE(model.hist_at(3), QString());
        QCOMPARE(model.hist_at(-1), QString());
        model.set_hist_at(5, "x");
        QCOMPARE(model.history(), ABC);
        QVERIFY(!model.swap(1, 1));
        QVERIFY(!model.swap(2, 3));
        QVERIFY(model.swap(0, 2));
        QCOMPARE(model.history(), QStringList({"c", "b", "a"}));
    }

    // --- OK and Cancel ---

    void cancelAfterDeletingAllReturnsNothing()
    {
        m_answer = 1;
        DiaHistory::execHook = [](DiaHistory& dia) {
            dia.delete_all();
            return int(QDialog::Rejected);
        };
        bool ok = true;
        QVERIFY(DiaHistory::edit(nullptr, ABC, &ok).isEmpty());
        QVERIFY(!ok);
    }

    void okReturnsTheEditedList()
    {
        DiaHistory::execHook = [](DiaHistory& dia) {
            dia.select_row(0);
            dia.delete_item();
            return int(QDialog::Accepted);
        };
        bool ok = false;
        QCOMPARE(DiaHistory::edit(nullptr, ABC, &ok), QStringList({"b", "c"}));
        QVERIFY(ok);
    }

    // --- The find boxes ---

    void editHistoryInTheBoxesContextMenus()
    {
        zem::XNode node(QStringLiteral("Window"));
        TestDir dir;
        zemFinder::WinFinderConfig::get().flagUseStartFolder = false;
        std::unique_ptr<WinFinder> win(WinFinder::create_window(&node, dir.path()));
        WinFinder::FindArea* f = win->findArea();
        for (QComboBox* combo : {static_cast<QComboBox*>(f->comboPattern), static_cast<QComboBox*>(f->comboNotPattern),
                                 static_cast<QComboBox*>(f->comboContent)}) {
            combo->clear();
            combo->addItems(ABC);
            combo->setCurrentIndex(1);

            // Cancel after deleting everything keeps the items.
            m_answer = 1;
            DiaHistory::execHook = [](DiaHistory& dia) {
                dia.delete_all();
                return int(QDialog::Rejected);
            };
            std::unique_ptr<QMenu> menu(win->create_history_context_menu(combo));
            QAction* entry = menu->actions().last();
            QCOMPARE(entry->text(), QStringLiteral("Edit History"));
            QVERIFY(menu->actions().size() > 2);   // the standard entries come first
            entry->trigger();
            QCOMPARE(static_cast<zem::XComboBox*>(combo)->history(), ABC);

            // OK replaces the items; the current text stays selected.
            DiaHistory::execHook = [](DiaHistory& dia) {
                dia.select_row(2);
                dia.move_up();
                dia.select_row(0);
                dia.delete_item();
                return int(QDialog::Accepted);
            };
            entry->trigger();
            QCOMPARE(static_cast<zem::XComboBox*>(combo)->history(), QStringList({"c", "b"}));
            QCOMPARE(combo->currentIndex(), 1);
            QCOMPARE(combo->currentText(), QStringLiteral("b"));
        }
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    zem::KernelGUI kernel;
    TestHistoryEditor test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_history_editor.moc"
