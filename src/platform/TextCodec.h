#pragma once

#include <QByteArray>
#include <QString>

namespace tombolix {

// Text files of the program (the settings file) are kept in the Chinese
// Windows code page. We read and write them as GB18030: it decodes every GBK
// byte sequence the same way and writes every GBK character as the same GBK
// bytes, while characters outside GBK (an emoji) still survive as four-byte
// sequences instead of turning into '?'.
namespace TextCodec {

// Never fails: each byte that does not start a valid sequence becomes U+FFFD.
QString decode(const QByteArray& bytes);

QByteArray encode(const QString& text);

// The longest start of bytes, at most maxBytes long, that does not end inside
// a multibyte character.
QByteArray leftBytes(const QByteArray& bytes, qsizetype maxBytes);

} // namespace TextCodec
} // namespace tombolix
