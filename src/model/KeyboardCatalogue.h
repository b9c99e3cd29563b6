// The catalogue of keyboard types: type ids, their display names, file recognition and the
// Open dialog's filter. Free functions without state.
#pragma once

#include "model/KeyboardTypes.h"

#include <cstdint>
#include <memory>
#include <string>

class Keyboard;

uint8_t GetKeyboardTypeCount();
// False for an id above the last type; the name is then left unchanged.
bool GetKeyboardTypeName(uint8_t id, std::string* name);
// The name the program itself gives the type, whatever a language file says: the same in every run.
bool GetBuiltinKeyboardTypeName(uint8_t id, std::string* name);
// The type id of a project file from its first line, kNoKeyboardType when none matches.
uint8_t RecognizeFileType(const std::string& firstLine);
std::string GetOpenFileFilter();
// A new project of the type; null for an unknown id.
std::unique_ptr<Keyboard> CreateKeyboard(uint8_t id);
// A project of the same type holding what the file of this one would; null when it cannot be made.
std::unique_ptr<Keyboard> CopyProject(Keyboard& keyboard);
// "ZQ-2200", "ZQ-3300" or "ZQ-1100": the keyboard a project is written into, whatever its layouts.
std::string GetFamilyName(const Keyboard& keyboard);
