#pragma once

namespace brinmor::test {

// A listening TCP socket on 127.0.0.1 at a port the OS chooses, with a wake-up pair so that
// another thread can end the wait for the next client. The fake servers' accept loops run on it.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return port_; }

    // Readable once Stop() has been called; poll it beside a socket to end any wait.
    int StopFd() const { return wake_[0]; }
    void Stop();

    // The next client's socket, or -1 once Stop() has been called. No bound of its own: Stop()
    // is what ends the wait.
    int Accept();

private:
    int fd_ = -1;
    int wake_[2] = {-1, -1};
    int port_ = 0;
};

} // namespace brinmor::test
