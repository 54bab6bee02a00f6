#pragma once
// A small HTTP server of a test's own on the loopback: each connection is
// handed to the test's answer on the server's thread, then closed, or held
// open until the server ends when the answer says so.

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class TLoopbackServer {
public:
    enum class TConnection {
        Close,
        HoldOpen
    };
    using TAnswer = std::function<TConnection(SOCKET client)>;

    explicit TLoopbackServer(TAnswer answer) : answer_(std::move(answer))
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener_, 4);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~TLoopbackServer()
    {
        stopping_ = true;
        thread_.join();
        for (SOCKET held : held_)
            closesocket(held);
        closesocket(listener_);
        WSACleanup();
    }
    TLoopbackServer(const TLoopbackServer&) = delete;
    TLoopbackServer& operator=(const TLoopbackServer&) = delete;

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

    // The request's head, read up to its blank line.
    static std::string ReadRequest(SOCKET client)
    {
        std::string request;
        char chunk[512];
        int got = 0;
        while (request.find("\r\n\r\n") == std::string::npos && (got = recv(client, chunk, sizeof chunk, 0)) > 0)
            request.append(chunk, static_cast<size_t>(got));
        return request;
    }

    static void Send(SOCKET client, const std::string& text)
    {
        for (size_t sent = 0; sent < text.size();) {
            const int n = send(client, text.data() + sent, static_cast<int>(text.size() - sent), 0);
            if (n <= 0)
                return;
            sent += static_cast<size_t>(n);
        }
    }

private:
    void Serve()
    {
        constexpr long kPollUs = 50000;
        while (!stopping_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, kPollUs};
            if (select(0, &ready, nullptr, nullptr, &wait) != 1)
                continue;
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (answer_(client) == TConnection::HoldOpen)
                held_.push_back(client);
            else
                closesocket(client);
        }
    }

    TAnswer answer_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::vector<SOCKET> held_;  // only the server's thread adds, before the join
    std::thread thread_;
};
