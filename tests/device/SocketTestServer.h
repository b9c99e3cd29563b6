// A tiny stand-in for zqsim on a Unix socket, answering each request as a test scripts it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SocketTestServer
{
public:
    struct Request
    {
        uint8_t opcode = 0;
        std::vector<uint8_t> payload;
        std::vector<uint8_t> raw; // exactly as received
    };
    struct Action
    {
        std::vector<uint8_t> bytes; // sent as they are, well-formed or not
        bool closeAfter = false;
        bool silent = false; // answer nothing and keep the connection open
    };
    using Handler = std::function<Action(const Request&)>;

    // Listens at once, so a client may connect as soon as the constructor returns.
    SocketTestServer(const std::string& path, Handler handler);
    ~SocketTestServer();

    std::vector<Request> Requests();
    int Connections() const { return m_connections; }

    // A well-formed answer.
    static std::vector<uint8_t> Answer(uint32_t error, const std::vector<uint8_t>& payload = {});
    static std::vector<uint8_t> InfoPayload(uint16_t vendorId, uint16_t productId, uint16_t featureLength,
                                            uint8_t kind, const std::string& name);

private:
    void Run();
    void Serve(int connection);
    bool ReadExactly(int connection, uint8_t* data, size_t length);

    std::string m_path;
    Handler m_handler;
    int m_listener = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_connections{0};
    std::mutex m_mutex;
    std::vector<Request> m_requests;
    std::thread m_thread;
};
