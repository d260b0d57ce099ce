// Another host process holding an exclusive flock on a file, for as long
// as the object lives: the simulated machine's "file held open by another
// program".
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

class LockingProcess {
public:
    explicit LockingProcess(const std::string &hostPath) {
        int ready[2];
        if (pipe(ready) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            const int fd = open(hostPath.c_str(), O_RDONLY);
            const char locked = fd >= 0 && flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            if (write(ready[1], &locked, 1) != 1) _exit(1);
            pause();
            _exit(0);
        }
        char answer = 'n';
        if (m_pid > 0 && read(ready[0], &answer, 1) != 1) answer = 'n';
        close(ready[0]);
        close(ready[1]);
        m_locked = answer == 'y';
    }
    ~LockingProcess() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    LockingProcess(const LockingProcess &) = delete;
    LockingProcess &operator=(const LockingProcess &) = delete;

    bool Locked() const { return m_locked; }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};
