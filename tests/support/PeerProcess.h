#pragma once

#include "support/TempDir.h"

#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace brinmor::test {

inline constexpr const char* kDantedProgram = "/usr/sbin/danted";
inline constexpr const char* kMicrosocksProgram = "/usr/bin/microsocks";

// A real server program started for one test on a free 127.0.0.1 port, in its own process
// group, and stopped (terminated, then killed if it lingers, and reaped) when the object goes.
class PeerProcess {
public:
    // Empty when the program is installed; otherwise the reason to give GTEST_SKIP().
    static std::string Missing(const std::string& program);

    // The SOCKS servers the tests use; both listen on 127.0.0.1 only. danted has no
    // authentication; microsocks asks for user name and password when `user` is not empty.
    static std::unique_ptr<PeerProcess> Danted();
    static std::unique_ptr<PeerProcess> Microsocks(const std::string& user = "",
                                                   const std::string& password = "");

    ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    int Port() const { return port_; }
    // What the program wrote to stdout and stderr so far.
    std::string Output() const;

private:
    PeerProcess() = default;
    // `makeArgs` builds the command line for a port (and may write files into dir_).
    template <typename MakeArgs> static std::unique_ptr<PeerProcess> Start(MakeArgs makeArgs);
    bool Launch(const std::vector<std::string>& args);
    bool WaitUntilListening();
    void Stop();

    TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace brinmor::test
