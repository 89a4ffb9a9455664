#pragma once
// Marks of one search over one file: byte ranges with a category (the term index of a simple
// expression, 0 for a regular expression). A plain value: made by a worker, then moved to the
// GUI thread inside a FileResult.
#include <QtGlobal>
#include <cstddef>
#include <vector>

namespace zem::find {

struct XRam {
    qint64 offset = 0;  // byte offset in the file
    qint32 length = 0;  // bytes
    qint32 category = 0;

    bool operator==(const XRam& o) const
    {
        return offset == o.offset && length == o.length && category == o.category;
    }
};

class XRamLayer {
public:
    using const_iterator = std::vector<XRam>::const_iterator;

    explicit operator bool() const { return !m_marks.empty(); }
    bool empty() const { return m_marks.empty(); }
    std::size_t size() const { return m_marks.size(); }

    // True when the file held a NUL byte in its first 64 KiB; such files open in hex.
    bool isBinary() const { return m_binary; }
    void setBinary(bool binary) { m_binary = binary; }

    void clear();
    void reserve(std::size_t n) { m_marks.reserve(n); }
    void append(qint64 offset, qint32 length, qint32 category = 0)
    {
        m_marks.push_back(XRam{offset, length, category});
    }
    void append(const XRam& mark) { m_marks.push_back(mark); }

    const XRam& operator[](std::size_t i) const { return m_marks[i]; }
    const XRam& at(std::size_t i) const { return m_marks.at(i); }
    const_iterator begin() const { return m_marks.begin(); }
    const_iterator end() const { return m_marks.end(); }
    const std::vector<XRam>& marks() const { return m_marks; }
    std::vector<XRam>& marks() { return m_marks; }

    // Index of the first mark that ends after offset, or size() when none does.
    std::size_t indexAtOrAfter(qint64 offset) const;

private:
    std::vector<XRam> m_marks;  // sorted by offset
    bool m_binary = false;
};

} // namespace zem::find
