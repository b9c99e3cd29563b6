// Splits a socket byte stream into requests and frames the device's answers.
#pragma once

#include "sim/SimDevice.h"

#include <cstdint>
#include <vector>

// Answers every complete request at the start of input, appending the answer frames to output.
// Returns the bytes used; close is set when the device drops the connection (the rest is unread).
size_t AnswerRequests(SimDevice& device, const uint8_t* input, size_t size, std::vector<uint8_t>& output,
                      bool& close);
