#include "ui/QtTexts.h"

#include "lang/Texts.h"

#include <QStringDecoder>

namespace {

// Windows-1252 at 0x80 to 0x9F; the other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

// The text when the bytes are valid UTF-8.
std::optional<QString> DecodeUtf8(const std::string& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError()) {
        return std::nullopt;
    }
    return text;
}

char EncodeCp1252(QChar c)
{
    const char16_t unicode = c.unicode();
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] == unicode) {
            return static_cast<char>(0x80 + i);
        }
    }
    return unicode < 0x100 && (unicode < 0x80 || unicode >= 0xA0) ? static_cast<char>(unicode) : '?';
}

} // namespace

QString Text(uint32_t id)
{
    return FromProjectText(LoadText(id));
}

QString FromProjectText(const std::string& bytes)
{
    if (std::optional<QString> text = DecodeUtf8(bytes)) {
        return *text;
    }
    QString latin;
    latin.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        latin.append(byte >= 0x80 && byte < 0xA0 ? QChar(kCp1252High[byte - 0x80]) : QChar(byte));
    }
    return latin;
}

std::string ToProjectText(const QString& text, const std::string& original)
{
    if (DecodeUtf8(original)) {
        return text.toUtf8().toStdString();
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    for (const QChar c : text) {
        bytes.push_back(EncodeCp1252(c));
    }
    return bytes;
}
