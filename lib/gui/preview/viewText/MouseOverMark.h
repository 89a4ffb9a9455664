#pragma once
// What lies under the mouse in the text view: the regions of the character, word, line,
// sentence and paragraph there. A region with a negative offset or no length is not valid.
#include "find/XRamLayer.h"

namespace zem::viewText {

struct MouseOverMark {
    // Categories of the mouse-over marks, as used by the mouse-over layer.
    enum Category : qint32 { Character = 20, Word = 30, Line = 40, Sentence = 45, Paragraph = 50 };

    find::XRam character{-1, 0, Character};
    find::XRam word{-1, 0, Word};
    find::XRam line{-1, 0, Line};
    find::XRam sentence{-1, 0, Sentence};
    find::XRam paragraph{-1, 0, Paragraph};

    static bool isValid(const find::XRam& r) { return r.offset >= 0 && r.length > 0; }
    // The region of a category, or null for another category.
    const find::XRam* region(qint32 category) const
    {
        switch (category) {
        case Character: return &character;
        case Word: return &word;
        case Line: return &line;
        case Sentence: return &sentence;
        case Paragraph: return &paragraph;
        default: return nullptr;
        }
    }
};

} // namespace zem::viewText
