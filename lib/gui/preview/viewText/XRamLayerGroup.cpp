#include "XRamLayerGroup.h"

namespace zem::viewText {

XMarkLayer* XRamLayerGroup::add_layer(int id, bool visible)
{
    auto it = m_layers.find(id);
    if (it != m_layers.end())
        return it->second.get();
    auto layer = std::make_unique<XMarkLayer>(id);
    layer->set_visible(visible);
    layer->set_offset_map(m_offsetMap);
    XMarkLayer* p = layer.get();
    m_layers.emplace(id, std::move(layer));
    layerAdded.fire(id);
    return p;
}

void XRamLayerGroup::set_offset_map(const XMarkLayer::OffsetMap& map)
{
    m_offsetMap = map;
    for (auto& entry : m_layers)
        entry.second->set_offset_map(map);
}

XMarkLayer* XRamLayerGroup::layer_by_ID(int id) const
{
    auto it = m_layers.find(id);
    return it != m_layers.end() ? it->second.get() : nullptr;
}

void XRamLayerGroup::clear(int id)
{
    if (XMarkLayer* l = layer_by_ID(id))
        l->clear();
}

void XRamLayerGroup::clear_all()
{
    for (auto& entry : m_layers)
        entry.second->clear();
}

bool XRamLayerGroup::remove_layer(int id)
{
    return m_layers.erase(id) != 0;
}

std::vector<XMarkLayer*> XRamLayerGroup::layers() const
{
    std::vector<XMarkLayer*> out;
    out.reserve(m_layers.size());
    for (const auto& entry : m_layers)
        out.push_back(entry.second.get());
    return out;
}

} // namespace zem::viewText
