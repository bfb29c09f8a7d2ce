#include "support/PeerProcess.h"

#include "support/TestSocket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace brinmor::test {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kStartLimit = 10s;
constexpr auto kStopLimit = 5s;
constexpr auto kPollStep = 10ms;
constexpr int kStartAttempts = 3;

// A port the OS has just handed out on 127.0.0.1; the peer binds it right after, and a peer
// that loses the race fails to start and is tried again on another port.
int FreeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        throw std::runtime_error("cannot create a socket");
    sockaddr_in address = LoopbackAddress(0);
    socklen_t length = sizeof address;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!ok)
        throw std::runtime_error("cannot find a free loopback port");
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const sockaddr_in address = LoopbackAddress(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::string DantedConfig(int port) {
    std::string config = "logoutput: stderr\n"
                         "internal: 127.0.0.1 port = " +
                         std::to_string(port) +
                         "\n"
                         "external: lo\n"
                         "socksmethod: none\n";
    // As root danted wants to know whom to become; as anybody else it stays who it is.
    if (::geteuid() == 0)
        config += "user.privileged: root\nuser.unprivileged: nobody\n";
    // Loopback clients only, and loopback targets only: the tests never reach farther.
    config += "client pass {\n    from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
              "socks pass {\n    from: 127.0.0.0/8 to: 127.0.0.0/8\n}\n";
    return config;
}

} // namespace

std::string PeerProcess::Missing(const std::string& program) {
    if (::access(program.c_str(), X_OK) == 0)
        return {};
    return program + " is not installed; scripts/setup installs it";
}

template <typename MakeArgs> std::unique_ptr<PeerProcess> PeerProcess::Start(MakeArgs makeArgs) {
    std::string output;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        std::unique_ptr<PeerProcess> peer(new PeerProcess);
        peer->port_ = FreeLoopbackPort();
        if (peer->Launch(makeArgs(*peer)) && peer->WaitUntilListening())
            return peer;
        peer->Stop();
        output = peer->Output();
    }
    throw std::runtime_error("the peer did not start listening:\n" + output);
}

std::unique_ptr<PeerProcess> PeerProcess::Danted() {
    return Start([](PeerProcess& peer) {
        peer.dir_.Write("danted.conf", DantedConfig(peer.port_));
        const std::string dir = peer.dir_.Path().string() + "/";
        return std::vector<std::string>{kDantedProgram, "-f", dir + "danted.conf", "-p",
                                        dir + "danted.pid"};
    });
}

std::unique_ptr<PeerProcess> PeerProcess::Microsocks(const std::string& user,
                                                     const std::string& password) {
    return Start([&](PeerProcess& peer) {
        std::vector<std::string> args{kMicrosocksProgram, "-i", "127.0.0.1", "-p",
                                      std::to_string(peer.port_)};
        if (!user.empty())
            args.insert(args.end(), {"-u", user, "-P", password});
        return args;
    });
}

bool PeerProcess::Launch(const std::vector<std::string>& args) {
    const std::string log = dir_.Path().string() + "/output.log";
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_init(&attributes);
    // Its own process group, so that the children a server forks can be ended with it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int error = ::posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        pid_ = -1;
    return error == 0;
}

bool PeerProcess::WaitUntilListening() {
    const auto deadline = Clock::now() + kStartLimit;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1; // exited: most likely lost the race for the port
            return false;
        }
        if (Accepts(port_))
            return true;
        std::this_thread::sleep_for(kPollStep);
    }
    return false;
}

void PeerProcess::Stop() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + kStopLimit;
    int status = 0;
    pid_t reaped = 0;
    while ((reaped = ::waitpid(pid_, &status, WNOHANG)) == 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(kPollStep);
    if (reaped == 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    // Whatever the server forked and left behind belongs to its group.
    ::kill(-pid_, SIGKILL);
    pid_ = -1;
}

PeerProcess::~PeerProcess() {
    Stop();
}

std::string PeerProcess::Output() const {
    return dir_.Exists("output.log") ? dir_.Read("output.log") : std::string();
}

} // namespace brinmor::test
