#pragma once
// The process's 8-bit encoding for file names and other local text: UTF-8 that keeps every byte.
//
// File names on Linux are bytes; Qt turns them into QString through the locale codec, and plain
// UTF-8 decoding replaces each invalid byte with U+FFFD, so such a file could be listed but never
// opened again. This codec decodes each byte that is not part of valid UTF-8 to a lone low
// surrogate U+DC80..U+DCFF and encodes that back to the same byte, so QFile::encodeName(
// QFile::decodeName(b)) == b for every name. Screens show the lone surrogates as a replacement
// mark; the command line prints the bytes.
//
// install() makes it the locale codec, once, before other threads run (the kernel and the folder
// scanner call it); the codec itself is stateless and may be used from any thread.
#include <QTextCodec>

namespace zem {

class XFileNameCodec : public QTextCodec {
public:
    static void install();

    QByteArray name() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char* in, int length, ConverterState* state) const override;
    QByteArray convertFromUnicode(const QChar* in, int length, ConverterState* state) const override;

private:
    XFileNameCodec() = default;
};

} // namespace zem
