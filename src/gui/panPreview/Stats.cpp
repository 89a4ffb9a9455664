#include "Stats.h"

#include "Logger.h"
#include "private_Stats.h"

namespace zemFinder {

Stats::Stats(QWidget* parent) : zem::Preview(parent), d(std::make_unique<private_Stats>(this)) {}

Stats::~Stats() = default;

QWidget* Stats::widget_preview()
{
    return this;
}

void Stats::ini()
{
    zem::Preview::ini();
    d->ini();
}

bool Stats::open_file(const QFileInfo& fi)
{
    zem::Logger::log(zem::xprintF(QStringLiteral("Stats::open_file, <<<$>>>"), fi.absoluteFilePath()), zem::LOG_PROGRESS);
    m_fileInfo = fi;
    d->open_file(fi);
    return true;
}

void Stats::on_go()
{
    d->on_go();
}

bool Stats::is_running() const
{
    return d->is_running();
}

QTextBrowser* Stats::browser() const
{
    return d->browser;
}

QLineEdit* Stats::edit_show() const
{
    return d->editShow;
}

QCheckBox* Stats::check_all() const
{
    return d->checkAll;
}

zem::XTypedComboBox* Stats::combo_word_len() const
{
    return d->comboLen;
}

QPushButton* Stats::button_go() const
{
    return d->buttonGo;
}

} // namespace zemFinder
