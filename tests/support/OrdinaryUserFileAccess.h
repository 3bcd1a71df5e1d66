#pragma once
// File access checked as an ordinary user's for the guard's life, also when
// the tests run as root, whom file modes do not stop: this thread's file-system
// user id becomes "nobody", which takes the right to ignore file modes with it.

#include <sys/fsuid.h>
#include <unistd.h>

class OrdinaryUserFileAccess {
public:
    OrdinaryUserFileAccess()
    {
        if (geteuid() != 0)
            return;
        setfsuid(kNobody);
        // setfsuid answers with the id it replaced: asked again, with the one in force.
        changed_ = setfsuid(kNobody) == int(kNobody);
    }
    ~OrdinaryUserFileAccess()
    {
        if (changed_)
            setfsuid(0);
    }
    OrdinaryUserFileAccess(const OrdinaryUserFileAccess&) = delete;
    OrdinaryUserFileAccess& operator=(const OrdinaryUserFileAccess&) = delete;

    // False when the rights of root could not be put aside.
    bool active() const { return geteuid() != 0 || changed_; }

private:
    static constexpr uid_t kNobody = 65534;
    bool changed_ = false;
};
