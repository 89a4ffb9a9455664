#pragma once
// Describes one character for the text tab's character information field: its code point and
// name class, its UTF-8 bytes, and its HTML form.
#include <QString>

namespace zemFinder {

class XUtf8Info {
public:
    // The character (a code point; a surrogate pair is one character).
    void set_char(const QString& character);
    // Fills info(): "U+00E4 Ll  utf8: c3 a4". False when no character was set.
    bool decode();
    const QString& info() const { return m_info; }
    // "&#228;" (decimal character reference).
    QString toHTML() const;

private:
    uint m_code = 0;
    bool m_valid = false;
    QString m_info;
};

} // namespace zemFinder
