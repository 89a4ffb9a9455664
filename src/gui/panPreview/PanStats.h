#pragma once
// The Stats tab of the details window: the statistics preview; zooming does nothing.
// GUI thread only.
#include "PanPreview.h"
#include "Stats.h"

namespace zemFinder {

class PanStats : public PanPreview {
    Q_OBJECT
public:
    explicit PanStats(QWidget* parent = nullptr) : PanPreview(parent) {}

    zem::Preview* preview() override { return &m_stats; }
    Stats& stats() { return m_stats; }
    void ini() override { ini_with(m_stats); }
    QString type_as_string() const override { return QStringLiteral("PanPreviewStats"); }

private:
    Stats m_stats;
};

} // namespace zemFinder
