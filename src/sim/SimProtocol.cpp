#include "sim/SimProtocol.h"

#include "device/SimulatorProtocol.h"

using namespace SimulatorProtocol;

size_t AnswerRequests(SimDevice& device, const uint8_t* input, size_t size, std::vector<uint8_t>& output,
                      bool& close)
{
    close = false;
    size_t used = 0;
    while (size - used >= kRequestHeaderLength) {
        const uint8_t* request = input + used;
        const RequestHeader header = ReadRequestHeader(request);
        if (size - used - kRequestHeaderLength < header.length) {
            break;
        }
        SimReply reply = device.Handle(header.opcode, request + kRequestHeaderLength, header.length);
        used += kRequestHeaderLength + header.length;
        if (reply.close) {
            close = true;
            break;
        }
        uint8_t answer[kAnswerHeaderLength];
        WriteAnswerHeader(answer, {reply.error, static_cast<uint16_t>(reply.payload.size())});
        output.insert(output.end(), answer, answer + sizeof answer);
        output.insert(output.end(), reply.payload.begin(), reply.payload.end());
    }
    return used;
}
