#include "ui/QtTexts.h"

#include "lang/TextHelpers.h"
#include "lang/Texts.h"

#include <QStringDecoder>

namespace {

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
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        if (Cp1252ToUnicode(static_cast<uint8_t>(byte)) == unicode) {
            return static_cast<char>(byte);
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
        latin.append(QChar(Cp1252ToUnicode(byte)));
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
