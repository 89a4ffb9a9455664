#include "DiaBookmark.h"

#include "XLang.h"
#include "widgets/XButton.h"
#include "widgets/XPanel.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace zemFinder {

using zem::xt;

std::function<bool(DiaBookmark&)> DiaBookmark::testHook;

namespace {
// Wide enough for the usual deep paths without scrolling.
constexpr int LABEL_WIDTH = 120;
constexpr int PATH_WIDTH = 600;
} // namespace

DiaBookmark::DiaBookmark(QWidget* parent) : QDialog(parent)
{
    auto* content = new zem::XPanel(true, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);

    zem::XPanel* rowName = content->createPanelHorizontal();
    rowName->createLabel(xt("Name"))->setMinimumWidth(LABEL_WIDTH);
    m_name = rowName->createLineEdit();

    zem::XPanel* rowPath = content->createPanelHorizontal();
    rowPath->createLabel(xt("Path"))->setMinimumWidth(LABEL_WIDTH);
    m_path = rowPath->createLineEdit();
    m_path->setReadOnly(true);
    m_path->setMinimumWidth(PATH_WIDTH);

    zem::XPanel* rowButtons = content->createPanelHorizontal();
    zem::XButton* ok = rowButtons->add(new zem::XButton);
    ok->setText(xt("OK"));
    ok->setIcon(QIcon(QStringLiteral(":/zf/icons/apply-ok.svg")));
    ok->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    *ok = [this] { on_ok(); };
    zem::XButton* cancel = rowButtons->add(new zem::XButton);
    cancel->setText(xt("Cancel"));
    cancel->setIcon(QIcon(QStringLiteral(":/zf/icons/apply-cancel.svg")));
    cancel->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    *cancel = [this] { reject(); };
    rowButtons->addStretch();
}

void DiaBookmark::setup(const Bookmark& bookmark)
{
    m_bookmark = bookmark;
    m_name->setText(bookmark.title);
    m_path->setText(bookmark.path);
}

void DiaBookmark::on_ok()
{
    m_bookmark.title = m_name->text().trimmed();
    accept();
}

bool DiaBookmark::edit(QWidget* parent, const Bookmark& bookmark, Bookmark* edited)
{
    DiaBookmark dia(parent);
    dia.setWindowTitle(xt("Bookmark"));
    dia.setup(bookmark);
    const bool ok = testHook ? testHook(dia) : dia.exec() == QDialog::Accepted;
    if (ok && edited)
        *edited = dia.result_bookmark();
    return ok;
}

} // namespace zemFinder
