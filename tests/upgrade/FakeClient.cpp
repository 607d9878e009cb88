// A stand-in for the client in the upgrade tests. On start it appends one
// line to the file named by FAKE_CLIENT_LOG: its process number and its
// arguments, separated by tabs. Then it runs until it is stopped (or, as a
// safety net, for FAKE_CLIENT_LIFETIME_MS). With FAKE_CLIENT_IGNORE_TERM=1
// it ignores the polite stop.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (const char *ignore = std::getenv("FAKE_CLIENT_IGNORE_TERM"); ignore && std::string(ignore) == "1")
        std::signal(SIGTERM, SIG_IGN);
    if (const char *log = std::getenv("FAKE_CLIENT_LOG")) {
        std::string line = std::to_string(getpid());
        for (int i = 1; i < argc; ++i)
            line += std::string("\t") + argv[i];
        line += "\n";
        const int fd = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            (void)!write(fd, line.data(), line.size());
            close(fd);
        }
    }
    long lifetime = 30000;
    if (const char *l = std::getenv("FAKE_CLIENT_LIFETIME_MS"))
        lifetime = std::atol(l);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(lifetime);
    while (std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return 0;
}
