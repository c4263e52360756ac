#include "platform/TextCodec.h"

#include "platform/Error.h"

#include <cerrno>
#include <iconv.h>

namespace tombolix {

namespace {

const char kDiskCharset[] = "GB18030";

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw Error(QStringLiteral("The text conversion from %1 to %2 is not available.")
                            .arg(QLatin1String(from), QLatin1String(to)));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of in; each time the input cannot be converted, `skip`
    // tells how many input bytes to drop and `replacement` is written instead.
    template <typename Skip>
    QByteArray convert(const QByteArray& in, const QByteArray& replacement, Skip skip) {
        QByteArray out;
        out.reserve(in.size() * 2 + 16);
        char buffer[4096];
        char* inPtr = const_cast<char*>(in.constData());
        size_t inLeft = static_cast<size_t>(in.size());
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.append(buffer, outPtr - buffer);
            if (result != static_cast<size_t>(-1) || error == E2BIG)
                continue;
            // EILSEQ, EINVAL (cut short at the end) or anything unforeseen:
            // drop at least one byte so the loop always advances.
            size_t drop = skip(inPtr, inLeft);
            if (drop < 1 || drop > inLeft)
                drop = 1;
            inPtr += drop;
            inLeft -= drop;
            out.append(replacement);
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        // Flush any pending shift state (none for these charsets, but cheap).
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        return out;
    }

private:
    iconv_t cd_;
};

bool isLead(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
bool isDigit(unsigned char b) {
    return b >= 0x30 && b <= 0x39;
}

// Length of the GB18030 character at pos, following the code page's byte
// ranges; a byte that starts nothing valid counts alone.
qsizetype charLength(const QByteArray& bytes, qsizetype pos) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(bytes[pos + i]); };
    const qsizetype left = bytes.size() - pos;
    if (!isLead(at(0)) || left < 2)
        return 1;
    const unsigned char second = at(1);
    if (isDigit(second))
        return left >= 4 && isLead(at(2)) && isDigit(at(3)) ? 4 : 1;
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    return 1;
}

} // namespace

QString TextCodec::decode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QString();
    Converter converter("UTF-8", kDiskCharset);
    const QByteArray utf8 = converter.convert(bytes, QByteArrayLiteral("\xEF\xBF\xBD"),
                                              [](const char*, size_t) { return size_t(1); });
    return QString::fromUtf8(utf8);
}

QByteArray TextCodec::encode(const QString& text) {
    if (text.isEmpty())
        return QByteArray();
    Converter converter(kDiskCharset, "UTF-8");
    // toUtf8() already replaces lone surrogates, so a failure here means a
    // character the table lacks: write '?' for that one character.
    return converter.convert(text.toUtf8(), QByteArrayLiteral("?"), [](const char* p, size_t n) {
        size_t len = 1;
        while (len < n && (static_cast<unsigned char>(p[len]) & 0xC0) == 0x80)
            ++len;
        return len;
    });
}

QByteArray TextCodec::leftBytes(const QByteArray& bytes, qsizetype maxBytes) {
    if (bytes.size() <= maxBytes)
        return bytes;
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype next = end + charLength(bytes, end);
        if (next > maxBytes)
            break;
        end = next;
    }
    return bytes.left(end);
}

} // namespace tombolix
