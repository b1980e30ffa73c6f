// Prints, in hexadecimal, each UDP datagram that reaches PORT on any address
// within MILLISECONDS, one line each; prints "ready" once bound.
// usage: udp_catch PORT MILLISECONDS
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

int main(int argc, char* argv[])
{
    if (argc < 3)
        return 2;
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(std::atoi(argv[1])));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[2]));
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, int(left.count())) <= 0)
            continue;
        unsigned char buffer[2048];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        for (ssize_t i = 0; i < n; ++i)
            std::printf("%02x", buffer[i]);
        std::printf("\n");
        std::fflush(stdout);
    }
    return 0;
}
