#include "sim/SimProtocol.h"

#include "sim/SimLayout.h"

using namespace SimLayout;

size_t AnswerRequests(SimDevice& device, const uint8_t* input, size_t size, std::vector<uint8_t>& output,
                      bool& close)
{
    close = false;
    size_t used = 0;
    while (size - used >= kRequestHeaderSize) {
        const uint8_t* request = input + used;
        size_t length = GetU16(request + kRequestLength);
        if (size - used - kRequestHeaderSize < length)
            break;
        SimReply reply = device.Handle(request[kRequestOpcode], request + kRequestHeaderSize, length);
        used += kRequestHeaderSize + length;
        if (reply.close) {
            close = true;
            break;
        }
        uint8_t header[kResponseHeaderSize];
        PutU32(header + kResponseError, reply.error);
        PutU16(header + kResponseLength, static_cast<uint16_t>(reply.payload.size()));
        output.insert(output.end(), header, header + sizeof header);
        output.insert(output.end(), reply.payload.begin(), reply.payload.end());
    }
    return used;
}
