#pragma once
// Holds the simulated programmer's state file for one program at a time.
//
// The state file itself is replaced whole on every save, so the advisory
// lock (flock) sits on a file beside it, "FILE.lock", which holds the
// holder's process id and goes away when the holder lets go. A second
// program finds the lock taken and stops instead of saving over the first.

#include <QString>

class StateFileLock {
public:
    StateFileLock() = default;
    ~StateFileLock() { release(); }
    StateFileLock(const StateFileLock&) = delete;
    StateFileLock& operator=(const StateFileLock&) = delete;

    // Takes the lock for statePath; false with the reason when another
    // program holds it or no lock file can be made beside it.
    bool acquire(const QString& statePath, QString* error);
    void release();
    bool held() const { return fd_ >= 0; }

    static QString lockPathFor(const QString& statePath) { return statePath + QStringLiteral(".lock"); }

private:
    int fd_ = -1;
    QString lockPath_;
};
