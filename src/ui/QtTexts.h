// Texts for widgets: string ids looked up as QString, and project texts (names) shown from their
// bytes.
#pragma once

#include <QString>

#include <optional>

#include <cstdint>
#include <string>

// The looked-up text of a string id.
QString Text(uint32_t id);
// Project texts are bytes: UTF-8 when valid, otherwise Windows-1252.
QString FromProjectText(const std::string& bytes);
// A text edited in the window back to bytes, in the encoding the original bytes had.
std::string ToProjectText(const QString& text, const std::string& original);
