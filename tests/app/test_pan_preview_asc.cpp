// The text tab of the details window on its own: search rows and their layers, the navigation
// slider with its reversed mapping, a bad expression, the switch menu with "Reset All", the
// stored bits, "copy to search" limits, pattern selection and the character information.
#include "Logger.h"
#include "TestDir.h"
#include "XNode.h"
#include "XTheme.h"
#include "find/XContentFilter.h"
#include "gui/panPreview/XColorLabel.h"
#include "gui/panPreview/XSlider.h"
#include "gui/panPreview/asc/PanPreviewAsc.h"
#include "gui/panPreview/asc/PanelSearch.h"
#include "preview/viewText/XTextView.h"
#include "widgets/XAction.h"
#include "widgets/XButton.h"
#include "widgets/XComboBox.h"
#include "widgets/XMenu.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QtTest>

using zemFinder::PanelSearch;
using zemFinder::PanPreviewAsc;

class TestPanPreviewAsc : public QObject {
    Q_OBJECT

private:
    TestDir m_dir;
    QString m_file;
    // "alpha" occurs kAlpha times, the first far down so that the view must scroll to it.
    static constexpr int kAlpha = 12;

    struct Tab {
        std::unique_ptr<zem::XPanel> bar;
        std::unique_ptr<PanPreviewAsc> pan;
    };
    Tab make(zem::XNode* node = nullptr)
    {
        Tab t;
        t.pan = std::make_unique<PanPreviewAsc>();
        t.bar = std::make_unique<zem::XPanel>(false);
        t.pan->ini();
        zem::XNode empty;
        t.pan->from_node(node ? node : &empty);
        t.pan->set_panel_from_outside(t.bar.get());
        t.pan->resize(700, 400);
        t.pan->show();
        t.pan->preview_ascii().open_file(QFileInfo(m_file));
        return t;
    }
    static PanelSearch* row(const Tab& t, unsigned n) { return t.pan->get_panel_search(n); }
    static void search(const Tab& t, unsigned n, const QString& text, bool regEx = false)
    {
        row(t, n)->set_search_text(text);
        row(t, n)->buttonRegEx()->setChecked(regEx);
        t.pan->on_search(row(t, n));
    }
    static zem::viewText::XMarkLayer* layer(const Tab& t, int id)
    {
        return t.pan->text_view()->layerGroup().layer_by_ID(id);
    }
    static QAction* action(QMenu* menu, const QString& text)
    {
        for (QAction* a : menu->actions())
            if (a->text() == text)
                return a;
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QByteArray text;
        for (int i = 0; i < 300; ++i)
            text += "filler line " + QByteArray::number(i) + " beta\n";
        for (int i = 0; i < kAlpha; ++i)
            text += "line with alpha number " + QByteArray::number(i) + "\n";
        text += "umlaut \xc3\xa4 here\n";
        m_file = m_dir.write("text.txt", text);
    }

    // --- bits and the switch menu ---
    void storedDefaultShowsRulerNavigationAndFirstRow()
    {
        zem::XNode node;
        node.setUInt("bitsConfig", 1034);
        Tab t = make(&node);
        QCOMPARE(t.pan->bitsConfig.flags(), 1034u);
        QVERIFY(t.pan->text_view()->ruler());
        QVERIFY(!t.pan->text_view()->wrap());
        QVERIFY(!t.pan->navigation_column()->isHidden());
        QVERIFY(!row(t, 0)->isHidden());
        QVERIFY(row(t, 1)->isHidden());
        QVERIFY(row(t, 2)->isHidden());
        QVERIFY(t.pan->char_info_field()->isHidden());
        QVERIFY(t.pan->text_view()->mouseOverLayer().empty());
        // Without a stored value the default is the same.
        Tab fresh = make();
        QCOMPARE(fresh.pan->bitsConfig.flags(), PanPreviewAsc::kDefaultBits);
    }

    void menuSwitchesBitsAndResetAllClearsThem()
    {
        Tab t = make();
        std::unique_ptr<zem::XMenu> menu(t.pan->create_sub_menu_filter());
        QStringList labels;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                labels << a->text();
        QCOMPARE(labels, (QStringList{"Ruler", "Wrap", "Navigation", "1.Search Layer", "2.Search Layer",
                                      "Mouse over Character", "Mouse over Character-INFO", "Mouse over Word",
                                      "Mouse over Line", "Mouse over Sentence", "Mouse over Paragraph", "Reset All"}));
        QVERIFY(action(menu.get(), "Ruler")->isChecked());
        QVERIFY(!action(menu.get(), "Wrap")->isChecked());
        QCOMPARE(action(menu.get(), "Navigation")->toolTip(), QString("Slider and Buttons on the right side"));

        action(menu.get(), "Wrap")->trigger();
        action(menu.get(), "Mouse over Word")->trigger();
        action(menu.get(), "2.Search Layer")->trigger();
        QVERIFY(t.pan->text_view()->wrap());
        QVERIFY(t.pan->text_view()->mouseOverLayer().contains_mark(30));
        QVERIFY(!row(t, 1)->isHidden());
        QCOMPARE(t.pan->bitsConfig.flags(), 1034u | 4u | 64u | 2048u);

        action(menu.get(), "Reset All")->trigger();
        QCOMPARE(t.pan->bitsConfig.flags(), 0u);
        QVERIFY(t.pan->navigation_column()->isHidden());
        QVERIFY(row(t, 0)->isHidden());
        QVERIFY(row(t, 1)->isHidden());
        QVERIFY(!t.pan->text_view()->ruler());
        QVERIFY(!t.pan->text_view()->wrap());
        QVERIFY(t.pan->text_view()->mouseOverLayer().empty());
    }

    void settingsSurviveTheNode()
    {
        zem::XNode node;
        {
            Tab t = make();
            t.pan->bitsConfig.set_flags(1034 | 2048 | 16);
            search(t, 0, "alpha");
            search(t, 1, "beta");
            row(t, 1)->set_color(QColor(10, 20, 30));
            t.pan->to_node(&node);
        }
        QCOMPARE(node.getUInt("bitsConfig", 0), 1034ull | 2048 | 16);
        Tab t = make(&node);
        QCOMPARE(t.pan->bitsConfig.flags(), 1034u | 2048u | 16u);
        QCOMPARE(row(t, 1)->color(), QColor(10, 20, 30));
        QCOMPARE(row(t, 0)->combo()->history(), QStringList{"alpha"});
        QCOMPARE(row(t, 1)->combo()->history(), QStringList{"beta"});
        QVERIFY(t.pan->text_view()->mouseOverLayer().contains_mark(20));
    }

    void eachStyleKeepsItsOwnColours()
    {
        zem::XNode node;
        {
            Tab t = make();
            row(t, 0)->set_color(QColor(1, 2, 3));
            t.pan->to_node(&node);
        }
        zem::XTheme::apply(true);
        {
            Tab t = make(&node);
            // A light-style colour does not come back under the dark style.
            QCOMPARE(row(t, 0)->color(), PanelSearch::default_color(0, true));
            row(t, 0)->set_color(QColor(4, 5, 6));
            t.pan->to_node(&node);
        }
        zem::XTheme::apply(false);
        Tab t = make(&node);
        QCOMPARE(row(t, 0)->color(), QColor(1, 2, 3));
        QCOMPARE(QColor::fromRgba(quint32(node.getNode("pan0")->getUInt("colorDark", 0))), QColor(4, 5, 6));
    }

    // --- searching and navigation ---
    void searchPaintsLayerCountsAndScrollsToFirstHit()
    {
        Tab t = make();
        search(t, 0, "alpha");
        zem::viewText::XMarkLayer* l = layer(t, 1000);
        QVERIFY(l);
        QCOMPARE(int(l->size()), kAlpha);
        QCOMPARE(l->color(), QColor(Qt::green));
        QCOMPARE(t.pan->active_layer(), l);
        QCOMPARE(l->active_mark_index(), 0);
        QCOMPARE(row(t, 0)->labelCount()->text(), QString::number(kAlpha));
        QVERIFY(t.pan->navigation_column()->isEnabled());
        QCOMPARE(t.pan->slider()->maximum(), kAlpha - 1);
        // The top of the slider is the first hit.
        QCOMPARE(t.pan->slider()->value(), t.pan->slider()->maximum());
        QTRY_VERIFY(t.pan->text_view()->topOffset() > 0);
        QTRY_VERIFY(t.pan->slider()->isEnabled());
    }

    void sliderMapsReversedAndArrowsMoveTheHandle()
    {
        Tab t = make();
        search(t, 0, "alpha");
        zemFinder::XSlider* s = t.pan->slider();
        zem::viewText::XMarkLayer* l = layer(t, 1000);
        s->setValue(s->maximum() - 3);
        QCOMPARE(l->active_mark_index(), 3);
        t.pan->on_mark_increment(false);
        QCOMPARE(l->active_mark_index(), 4);
        QCOMPARE(s->value(), s->maximum() - 4);
        t.pan->on_mark_increment(true);
        QCOMPARE(l->active_mark_index(), 3);
        t.pan->on_mark_to_top(false);
        QCOMPARE(l->active_mark_index(), kAlpha - 1);
        QCOMPARE(s->value(), 0);
        t.pan->on_mark_to_top(true);
        QCOMPARE(l->active_mark_index(), 0);
        QCOMPARE(s->value(), s->maximum());
        // Placing the handle for a mark never chooses a mark by itself.
        s->set_value_revers(5, false);
        QCOMPARE(l->active_mark_index(), 0);
    }

    void noHitsClearsTheRowAndDisablesNavigation()
    {
        Tab t = make();
        search(t, 0, "nowhere-to-be-found");
        QVERIFY(layer(t, 1000) == nullptr || layer(t, 1000)->empty());
        QCOMPARE(row(t, 0)->combo()->currentText(), QString());
        QCOMPARE(row(t, 0)->labelCount()->text(), QString());
        QVERIFY(!t.pan->navigation_column()->isEnabled());
    }

    void badExpressionOnlyFlashes()
    {
        Tab t = make();
        search(t, 0, "alpha");
        zem::Logger::startCapture();
        search(t, 0, "(unclosed", true);
        const QStringList log = zem::Logger::capturedLines();
        zem::Logger::stopCapture();
        QVERIFY(log.contains("PanPreviewAsc::on_search, problems with expression '(unclosed'"));
        QCOMPARE(int(layer(t, 1000)->size()), kAlpha);
        QCOMPARE(row(t, 0)->combo()->currentText(), QString("(unclosed"));
        QCOMPARE(row(t, 0)->labelCount()->text(), QString::number(kAlpha));
        QVERIFY(row(t, 0)->combo()->lineEdit()->styleSheet().contains("background"));
        QTRY_VERIFY_WITH_TIMEOUT(!row(t, 0)->combo()->lineEdit()->styleSheet().contains("background"), 3000);
    }

    void colourLabelMakesItsLayerActive()
    {
        Tab t = make();
        search(t, 0, "alpha");
        search(t, 1, "beta");
        QCOMPARE(t.pan->active_layer(), layer(t, 1001));
        QCOMPARE(layer(t, 1001)->color(), QColor(Qt::yellow));
        QTest::mouseClick(row(t, 0)->colorLabel(), Qt::LeftButton);
        QCOMPARE(t.pan->active_layer(), layer(t, 1000));
        QVERIFY(t.pan->slider()->styleSheet().contains("#00ff00"));
        QCOMPARE(t.pan->slider()->maximum(), kAlpha - 1);
        QTest::mouseClick(row(t, 1)->colorLabel(), Qt::LeftButton);
        QCOMPARE(t.pan->active_layer(), layer(t, 1001));
        QVERIFY(t.pan->slider()->styleSheet().contains("#ffff00"));
        QCOMPARE(t.pan->slider()->maximum(), 299);

        // Control-click picks a colour; the layer repaints in it.
        auto keep = zemFinder::XColorLabel::chooser;
        zemFinder::XColorLabel::chooser = [](const QColor&, QWidget*) { return QColor(Qt::magenta); };
        QTest::mouseClick(row(t, 0)->colorLabel(), Qt::LeftButton, Qt::ControlModifier);
        zemFinder::XColorLabel::chooser = keep;
        QCOMPARE(row(t, 0)->color(), QColor(Qt::magenta));
        QCOMPARE(layer(t, 1000)->color(), QColor(Qt::magenta));
        QCOMPARE(layer(t, 1000)->mark_color(0), QColor(Qt::magenta));
        QCOMPARE(t.pan->active_layer(), layer(t, 1000));
    }

    void clickingAMarkOfAnotherLayerFollowsIt()
    {
        Tab t = make();
        search(t, 0, "alpha");
        search(t, 1, "beta");
        t.pan->on_layer_changed(1000);
        QCOMPARE(t.pan->active_layer(), layer(t, 1000));
        zem::Logger::startCapture();
        t.pan->on_layer_changed(7);
        QVERIFY(zem::Logger::capturedLines().contains("PanPreviewAsc::on_layer_changed, panel_no:-993 !!!"));
        zem::Logger::stopCapture();
        QCOMPARE(t.pan->active_layer(), layer(t, 1000));
    }

    void rowOutOfRangeGivesTheFirst()
    {
        Tab t = make();
        QCOMPARE(t.pan->get_panel_search(3), row(t, 0));
        QCOMPARE(row(t, 2)->toString(), QString("pan#2"));
    }

    // --- copy to search and pattern selection ---
    void copyToSearchTakesOneTo88Characters_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("empty") << 0 << false;
        QTest::newRow("one") << 1 << true;
        QTest::newRow("88") << 88 << true;
        QTest::newRow("89") << 89 << false;
    }
    void copyToSearchTakesOneTo88Characters()
    {
        QFETCH(int, length);
        QFETCH(bool, enabled);
        Tab t = make();
        const QString sel(length, QLatin1Char('x'));
        QMenu menu;
        t.pan->add_copy_to_search_actions(&menu, sel);
        QAction* one = action(&menu, "copy to search &1");
        QAction* two = action(&menu, "copy to search &2");
        QVERIFY(one && two);
        QCOMPARE(one->isEnabled(), enabled);
        QCOMPARE(two->isEnabled(), enabled);
        QCOMPARE(one->data().toInt(), 200);
        if (enabled) {
            two->trigger();
            QCOMPARE(row(t, 1)->combo()->currentText(), QLatin1Char('"') + sel + QLatin1Char('"'));
            QVERIFY(!row(t, 1)->isHidden());
        }
    }

    void patternSelectionMarksEveryOccurrence()
    {
        Tab t = make();
        t.pan->on_direct_mark_search("alpha");
        QVERIFY(layer(t, 1002) == nullptr || layer(t, 1002)->empty());
        t.pan->patternSelectionMode = true;
        t.pan->on_direct_mark_search("alpha number");
        QCOMPARE(int(layer(t, 1002)->size()), kAlpha);
        QCOMPARE(t.pan->active_layer(), layer(t, 1002));
        QCOMPARE(row(t, 2)->combo()->currentText(), QString());
        QCOMPARE(row(t, 2)->labelCount()->text(), QString());
        t.pan->patternSelectionMode = false;
        QVERIFY(layer(t, 1002)->empty());
        QVERIFY(!t.pan->navigation_column()->isEnabled());
    }

    void characterInformationDescribesTheCharacter()
    {
        Tab t = make();
        t.pan->bitsConfig.set_flags(1034 | 16 | 32);
        QVERIFY(!t.pan->char_info_field()->isHidden());
        zem::viewText::XTextView* view = t.pan->text_view();
        view->source().waitForIndex();
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const qint64 at = f.readAll().indexOf("\xc3\xa4");
        view->mouseOver.fire(view->mouseOverAt(at));
        QTRY_VERIFY(t.pan->char_info_field()->text().startsWith(QString::fromUtf8("ä  U+00E4 Ll  utf8: c3 a4  &#228; byte-pos:")));
        QVERIFY(t.pan->char_info_field()->text().endsWith(zem::format1000(at)));
    }
};

int main(int argc, char** argv)
{
    isolateHomes();
    QApplication app(argc, argv);
    TestPanPreviewAsc test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_pan_preview_asc.moc"
