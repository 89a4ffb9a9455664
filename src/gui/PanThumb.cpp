#include "PanThumb.h"

#include "Logger.h"
#include "widgets/XElidedLabel.h"
#include "widgets/XGlassLabel.h"
#include "widgets/XPanel.h"
#include "widgets/XThumb.h"

namespace zemFinder {

namespace {
// A tile never grows past the largest thumbnail size.
constexpr int kMaxSize = 256;
} // namespace

PanThumb::PanThumb(QWidget* parent) : zem::XPanelStackedGlas(parent)
{
    setMaximumSize(kMaxSize, kMaxSize + kNameHeight);
    m_inner = add(new zem::XPanel(true, this));
    m_inner->setName(QStringLiteral("x"));
    m_inner->set_args(0, 0);
    m_thumb = m_inner->add(new zem::XThumb(m_inner));
    m_name = m_inner->add(new zem::XElidedLabel(m_inner, Qt::ElideMiddle));
    m_name->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_name->setMinimumHeight(kNameHeight);
}

void PanThumb::set_file(const QFileInfo& fi, int size)
{
    m_file = fi;
    m_size = uint32_t(size);
    m_name->setText(fi.fileName());
    m_thumb->set_file(fi, size);
    setFixedWidth(size);
}

void PanThumb::work()
{
    m_thumb->work();
}

bool PanThumb::is_directory() const
{
    return m_thumb->is_directory();
}

void PanThumb::refresh_label()
{
    m_thumb->update();
    if (is_directory())
        return;
    const QSize real = m_thumb->picture_size();
    if (!real.isValid())
        return;
    m_name->setText(zem::xprintF(QStringLiteral("$x$\n$"), real.width(), real.height(), m_file.fileName()));
}

} // namespace zemFinder
