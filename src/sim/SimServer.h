// Serves simulated devices on Unix-domain stream sockets or loopback TCP ports, one per device
// interface.
#pragma once

#include "sim/SimDevice.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

class SimServer
{
public:
    // Bytes written to the wake descriptor given to Run.
    static constexpr char kWakeDump = 'd';
    static constexpr char kWakeStop = 'q';

    SimServer() = default;
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;
    ~SimServer();

    // Binds one listening socket per device; a stale socket file left by a dead server is replaced.
    bool Listen(std::vector<std::unique_ptr<SimDevice>> devices, std::string& error);
    // What a client puts in ZQ_SIMULATOR for a listening device: its socket path, or
    // "tcp:127.0.0.1:PORT" with the port actually bound.
    std::string ClientEntry(size_t device) const;

    // Serves until kWakeStop arrives on wakeFd; false when polling itself fails.
    bool Run(int wakeFd, std::string& error);

    // Closes every connection and listener and removes the socket files this server made.
    void Close();

    bool DumpAll();

    size_t DeviceCount() const { return m_devices.size(); }
    SimDevice& Device(size_t index) { return *m_devices[index]; }

private:
    struct Listener
    {
        int fd = -1;
        std::string path;
        uint16_t port = 0; // a TCP listener's bound port
        dev_t fileDevice = 0;
        ino_t fileInode = 0;
    };
    struct Connection
    {
        int fd = -1;
        size_t device = 0;
        uint64_t id = 0;
        std::vector<uint8_t> in;
        std::vector<uint8_t> out;
    };

    bool Bind(const std::string& path, Listener& listener, std::string& error);
    bool BindTcp(uint16_t port, Listener& listener, std::string& error);
    void Accept(size_t device);
    bool Receive(Connection& connection);
    bool Answer(Connection& connection);
    bool Flush(Connection& connection);
    bool HandleWake(int wakeFd, bool& stop);
    void Drop(Connection& connection);

    std::vector<std::unique_ptr<SimDevice>> m_devices;
    std::vector<Listener> m_listeners;
    std::vector<Connection> m_connections;
    uint64_t m_nextConnectionId = 1;
};
