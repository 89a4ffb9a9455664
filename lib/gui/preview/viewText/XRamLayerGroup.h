#pragma once
// The coloured mark layers of one text view, by numeric id (the details window uses 1000 to
// 1002, the results panel 1000). Layers are painted in id order; the view's current layer last.
// Owns its layers; a layer lives until removed or the group is destroyed. GUI thread only.
#include "XEventListener.h"
#include "XMarkLayer.h"

#include <map>
#include <memory>
#include <vector>

namespace zem::viewText {

class XRamLayerGroup {
public:
    // Returns the layer with this id, creating it (and telling layerAdded) when missing.
    XMarkLayer* add_layer(int id, bool visible = true);
    bool contains_layer(int id) const { return m_layers.count(id) != 0; }
    XMarkLayer* layer_by_ID(int id) const;
    // Empties the layer's marks; the layer stays.
    void clear(int id);
    void clear_all();
    bool remove_layer(int id);
    std::vector<XMarkLayer*> layers() const;
    // The offset map of every layer, now and to come (see XMarkLayer::set_offset_map).
    void set_offset_map(const XMarkLayer::OffsetMap& map);
    std::size_t size() const { return m_layers.size(); }

    XEventListener<void(int)> layerAdded;

private:
    std::map<int, std::unique_ptr<XMarkLayer>> m_layers;
    XMarkLayer::OffsetMap m_offsetMap;
};

} // namespace zem::viewText
