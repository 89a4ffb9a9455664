// The widget layer: message-box and input hooks, combo boxes, splitter state, the main window's
// events and node, buttons, menus and the modifier test.
#include "TestDir.h"
#include "XNode.h"
#include "widgets/XAction.h"
#include "widgets/XBox.h"
#include "widgets/XBoxInput.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XMainWindow.h"
#include "widgets/XMenu.h"
#include "widgets/XPanel.h"
#include "widgets/XPanelStacked.h"
#include "widgets/XSplitter.h"
#include "widgets/XToolsGui.h"
#include "widgets/XTypedComboBox.h"

#include <QLabel>
#include <QtTest>

class TestWidgets : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void boxHooksAnswer()
    {
        QStringList seen;
        zem::XBox::testHook = [&seen](zem::XBox::Kind kind, const QString& title, const QString&) {
            seen << title;
            return kind == zem::XBox::Kind::Question ? 1 : 0;
        };
        QCOMPARE(zem::XBox::ask_yes_no(nullptr, "Q", "text"), 1);
        zem::XBox::info(nullptr, "I", "text");
        zem::XBox::warn(nullptr, "W", "text");
        QCOMPARE(seen, (QStringList{"Q", "I", "W"}));
        zem::XBox::testHook = [](zem::XBox::Kind, const QString&, const QString&) { return 7; };
        QCOMPARE(zem::XBox::ask_yes_no(nullptr, "Q", "text"), 0);   // only 1 is yes
        zem::XBox::testHook = nullptr;

        zem::XBoxInput::testHook = [](const QString&, const QString& preset, const QString&) { return preset + "!"; };
        QCOMPARE(zem::XBoxInput::get_text(nullptr, "T", "name", "hint"), QStringLiteral("name!"));
        zem::XBoxInput::testHook = nullptr;
    }

    void comboBoxHistory()
    {
        zem::XComboBox box;
        box.add_to_history("a");
        box.add_to_history("b");
        box.add_to_history("a");
        box.add_to_history("");
        QCOMPARE(box.history(), (QStringList{"a", "b"}));
        for (int i = 0; i < 5; ++i)
            box.add_to_history(QString::number(i), 3);
        QCOMPARE(box.history(), (QStringList{"4", "3", "2"}));
        QCOMPARE(box.currentText(), QStringLiteral("4"));
    }

    void typedComboBox()
    {
        zem::XTypedComboBox box;
        QCOMPARE(box.selectedValue(42), 42u);
        box.addTypedItem("File", 0);
        box.addTypedItem("Paragraph", 1);
        box.addTypedItem("Sentence", 2);
        QVERIFY(box.selectValue(2));
        QCOMPARE(box.selectedValue(), 2u);
        QVERIFY(!box.selectValue(9));
        QCOMPARE(box.currentText(), QStringLiteral("Sentence"));
    }

    void splitterStateRoundTrip()
    {
        zem::XNode node;
        zem::XSplitter one(Qt::Horizontal);
        one.addWidget(new QLabel("l"));
        one.addWidget(new QLabel("r"));
        one.resize(600, 100);
        one.setSizes({150, 450});
        QVERIFY(!one.nodeToState(&node, "splitter"));
        one.stateToNode(&node, "splitter");
        zem::XSplitter two(Qt::Horizontal);
        two.addWidget(new QLabel("l"));
        two.addWidget(new QLabel("r"));
        two.resize(600, 100);
        QVERIFY(two.nodeToState(&node, "splitter"));
        QCOMPARE(two.sizes(), one.sizes());
    }

    void mainWindowEventsAndNode()
    {
        zem::XNode node;
        auto* win = new zem::XMainWindow;
        win->setAttribute(Qt::WA_DeleteOnClose);
        win->setNodeWin(&node);
        QCOMPARE(win->createContentPanel(), win->createContentPanel());
        qint64 shownAt = -1;
        int shown = 0, closed = 0;
        win->firstShownListener.add([&](qint64 us) { shownAt = us, ++shown; });
        win->closeListener.add([&] { ++closed; });
        win->show();
        QVERIFY(QTest::qWaitForWindowExposed(win));
        win->hide();
        win->show();
        QCOMPARE(shown, 1);
        QVERIFY(shownAt > 0);
        QPointer<zem::XMainWindow> guard(win);
        win->closeAbstractWindow();
        QCOMPARE(closed, 1);
        QCOMPARE(node.getInt("geoWidth", 0), win->width());
        QCOMPARE(node.getInt("geoHeight", 0), win->height());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard.isNull());
    }

    void hotKeyRunsItsCallback()
    {
        zem::XMainWindow win;
        int hits = 0;
        win.addHotKeyMethod(Qt::ALT | Qt::Key_Down, [&hits] { ++hits; });
        win.show();
        win.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&win));
        QTest::keyClick(&win, Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(&win, Qt::Key_Down);
        QCOMPARE(hits, 1);
    }

    void buttonClickAndRightClick()
    {
        zem::XPanel panel(false);
        zem::XButton* button = panel.createButtonImageIcon(":/zf/icons/find.svg", "tip", 16);
        int clicks = 0, rights = 0;
        *button = [&clicks] { ++clicks; };
        button->mouseListener.add([&rights](QMouseEvent* e) { rights += zem::XButton::isRightButton(e); });
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::RightButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(rights, 1);
        QCOMPARE(button->toolTip(), QStringLiteral("tip"));
        QVERIFY(!button->icon().isNull());
    }

    void menuActionsCarryCallbackAndId()
    {
        zem::XMenu menu;
        int ran = 0;
        zem::XAction* a = menu.createAction("one", true, true, false, 200);
        *a = [&ran] { ++ran; };
        QCOMPARE(a->id(), 200);
        QVERIFY(a->isCheckable() && a->isChecked() && !a->isEnabled());
        a->setEnabled(true);
        a->trigger();
        QCOMPARE(ran, 1);
        zem::XMenu* sub = menu.createSubMenu("sub");
        QCOMPARE(menu.actions().size(), 2);
        QCOMPARE(sub->title(), QStringLiteral("sub"));
    }

    void stackedPanel()
    {
        zem::XPanelStacked stack;
        QLabel* one = stack.add(new QLabel("1"));
        QLabel* two = stack.add(new QLabel("2"));
        QVERIFY(stack.isCurrentWidget(one));
        stack.setCurrentWidget(two);
        QVERIFY(stack.isCurrentWidget(two));
        QVERIFY(!stack.isCurrentWidget(nullptr));
    }

    void modifierTest()
    {
        const uint32_t ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
        QVERIFY(zem::XToolsGui::is_modifier(ctrlAlt, ctrlAlt));
        QVERIFY(zem::XToolsGui::is_modifier(ctrlAlt, ctrlAlt | Qt::KeypadModifier));
        QVERIFY(!zem::XToolsGui::is_modifier(ctrlAlt, Qt::ControlModifier));
        QVERIFY(!zem::XToolsGui::is_modifier(ctrlAlt, ctrlAlt | Qt::ShiftModifier));
        QVERIFY(!zem::XToolsGui::is_modifier(0, 0));
        QCOMPARE(zem::XToolsGui::getMonoFont(14).pointSize(), 14);
        QVERIFY(!zem::XToolsGui::open_file_with_default_program("/no/such/file"));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestWidgets test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_widgets.moc"
