#include "XFileNameCodec.h"

#include <mutex>

namespace zem {

namespace {
constexpr ushort kEscapeBase = 0xDC00;  // byte b (0x80..0xFF) decodes to kEscapeBase + b

// Length of the valid UTF-8 sequence at in (1..4), 0 when the bytes there are not one, -1 when
// they are a valid start cut off by the end of the input.
int sequenceLength(const uchar* in, int left)
{
    const uchar b = in[0];
    int length = 0;
    uint lowest = 0;
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        lowest = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        lowest = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        lowest = 0x10000;
    } else {
        return 0;
    }
    uint code = b & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if (i >= left)
            return -1;
        if ((in[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (in[i] & 0x3F);
        // Checked as early as possible, so that a cut-off sequence is only reported when it
        // could still become valid.
        if (i == 1 && length == 3 && b == 0xED && in[1] >= 0xA0)
            return 0;  // a surrogate in UTF-8 form
        if (i == 1 && length == 3 && b == 0xE0 && in[1] < 0xA0)
            return 0;  // overlong
        if (i == 1 && length == 4 && ((b == 0xF0 && in[1] < 0x90) || (b == 0xF4 && in[1] >= 0x90)))
            return 0;  // overlong, or beyond U+10FFFF
    }
    return code >= lowest ? length : 0;
}

void appendCode(QString& out, uint code)
{
    if (code >= 0x10000) {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    } else {
        out += QChar(ushort(code));
    }
}

uint decodeSequence(const uchar* in, int length)
{
    if (length == 1)
        return in[0];
    uint code = in[0] & (0x7F >> length);
    for (int i = 1; i < length; ++i)
        code = (code << 6) | (in[i] & 0x3F);
    return code;
}

void appendUtf8(QByteArray& out, uint code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}
} // namespace

void XFileNameCodec::install()
{
    static std::once_flag once;
    // Qt owns registered codecs and deletes them when the process ends.
    std::call_once(once, [] { QTextCodec::setCodecForLocale(new XFileNameCodec); });
}

QByteArray XFileNameCodec::name() const
{
    return QByteArrayLiteral("zem-utf-8-file-names");
}

int XFileNameCodec::mibEnum() const
{
    return -106;  // private: not UTF-8's 106, which stays Qt's own codec
}

QString XFileNameCodec::convertToUnicode(const char* in, int length, ConverterState* state) const
{
    // A stream may cut a sequence in two: the cut-off bytes wait in the state for the next piece.
    QByteArray joined;
    if (state && state->remainingChars > 0) {
        for (int i = 0; i < state->remainingChars; ++i)
            joined += char(state->state_data[i]);
        joined.append(in, length);
        state->remainingChars = 0;
        in = joined.constData();
        length = joined.size();
    }
    const uchar* bytes = reinterpret_cast<const uchar*>(in);
    QString out;
    out.reserve(length);
    for (int pos = 0; pos < length;) {
        const int n = sequenceLength(bytes + pos, length - pos);
        if (n < 0 && state && length - pos <= 3) {
            state->remainingChars = length - pos;
            for (int i = 0; i < state->remainingChars; ++i)
                state->state_data[i] = bytes[pos + i];
            break;
        }
        if (n <= 0) {
            out += QChar(ushort(kEscapeBase + bytes[pos]));
            ++pos;
            continue;
        }
        appendCode(out, decodeSequence(bytes + pos, n));
        pos += n;
    }
    return out;
}

QByteArray XFileNameCodec::convertFromUnicode(const QChar* in, int length, ConverterState* state) const
{
    QByteArray out;
    out.reserve(length);
    int pos = 0;
    if (state && state->remainingChars > 0 && length > 0) {
        // A high surrogate that ended the previous piece.
        const ushort high = ushort(state->state_data[0]);
        state->remainingChars = 0;
        if (in[0].isLowSurrogate()) {
            appendUtf8(out, QChar::surrogateToUcs4(high, in[0].unicode()));
            pos = 1;
        } else {
            out += '?';
        }
    }
    for (; pos < length; ++pos) {
        const ushort c = in[pos].unicode();
        if (QChar::isHighSurrogate(c)) {
            if (pos + 1 < length && in[pos + 1].isLowSurrogate()) {
                appendUtf8(out, QChar::surrogateToUcs4(c, in[pos + 1].unicode()));
                ++pos;
            } else if (pos + 1 == length && state) {
                state->remainingChars = 1;
                state->state_data[0] = c;
            } else {
                out += '?';
            }
        } else if (QChar::isLowSurrogate(c)) {
            // An escaped byte gives its byte back; any other lone half has no encoding.
            out += c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF ? char(c - kEscapeBase) : '?';
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

} // namespace zem
