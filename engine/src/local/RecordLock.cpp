#include "RecordLock.h"

#include "../DbException.h"
#include "dbeng.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace dbeng {

RecordLock::~RecordLock() {
    close();
}

void RecordLock::open(const std::string &tablePath, bool exclusive, bool readOnly) {
    close();
    path_ = tablePath + ".lck";
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0 && readOnly)
        fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        if (readOnly)
            return; // a read-only table in a read-only folder: no locks to take or honour
        int err = errno;
        throw DbException(DBE_IO_ERROR, "Die Sperrdatei " + quoteFile(path_) +
                                            " kann nicht geöffnet werden: " + std::strerror(err) +
                                            ".");
    }
    short type = exclusive ? F_WRLCK : F_RDLCK;
    if ((fcntl(fd_, F_GETFL) & O_ACCMODE) == O_RDONLY)
        type = F_RDLCK;
    if (!setLock(0, type, false)) {
        ::close(fd_);
        fd_ = -1;
        throw DbException(DBE_RECORD_LOCKED,
                          exclusive ? "Die Tabelle " + quoteFile(tablePath) +
                                          " kann nicht exklusiv geöffnet werden: sie ist von einem "
                                          "anderen Benutzer geöffnet."
                                    : "Die Tabelle " + quoteFile(tablePath) +
                                          " ist von einem anderen Benutzer exklusiv geöffnet.");
    }
}

void RecordLock::close() {
    if (fd_ >= 0)
        ::close(fd_); // closing the description releases all its locks
    fd_ = -1;
    held_.clear();
}

bool RecordLock::setLock(int64_t start, short type, bool) const {
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = 1;
    while (fcntl(fd_, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        return false;
    }
    return true;
}

bool RecordLock::tryLock(uint32_t recno) {
    if (fd_ < 0 || held_.count(recno))
        return true;
    short type = (fcntl(fd_, F_GETFL) & O_ACCMODE) == O_RDONLY ? F_RDLCK : F_WRLCK;
    if (!setLock(recno, type, false))
        return false;
    held_.insert(recno);
    return true;
}

void RecordLock::unlock(uint32_t recno) {
    if (fd_ < 0 || !held_.count(recno))
        return;
    setLock(recno, F_UNLCK, false);
    held_.erase(recno);
}

bool RecordLock::heldElsewhere(uint32_t recno) const {
    if (fd_ < 0 || held_.count(recno))
        return false;
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = recno;
    fl.l_len = 1;
    if (fcntl(fd_, F_OFD_GETLK, &fl) != 0)
        return false;
    return fl.l_type != F_UNLCK;
}

} // namespace dbeng
