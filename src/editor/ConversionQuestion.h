// The question before a conversion that loses data: the keyboard's warning, then what this
// project would lose by it.
#pragma once

#include <cstdint>
#include <string>

class Keyboard;

// Empty when the conversion loses nothing and so asks nothing.
std::string MakeConversionQuestion(Keyboard& keyboard, uint8_t item);
