// The one place where system errors become the stream layer's codes.
#include "streamio/streamerror.h"

#include <cerrno>
#include <cstring>

namespace StreamIO {

std::uint32_t CodeFromErrno(int error)
{
    switch (error) {
    case 0: return ERR_NONE;
    case ENOENT: return ERR_FILE_NOT_FOUND;
    case ENOTDIR: return ERR_PATH_NOT_FOUND;
    case EMFILE:
    case ENFILE: return ERR_TOO_MANY_OPEN_FILES;
    case EACCES:
    case EPERM:
    case EISDIR: return ERR_ACCESS_DENIED;
    case EBADF: return ERR_INVALID_HANDLE;
    case ENOMEM: return ERR_OUTOFMEMORY;
    case EROFS: return ERR_WRITE_PROTECT;
    case ESPIPE: return ERR_SEEK_ON_DEVICE;
    case EAGAIN: return ERR_TIMEOUT;   // nothing arrived in time
    case ENOTSUP:
    case ENOTTY:
    case ENOSYS: return ERR_NOT_SUPPORTED;
    case EEXIST: return ERR_FILE_EXISTS;
    case EINVAL: return ERR_INVALID_PARAMETER;
    case EPIPE: return ERR_BROKEN_PIPE;
    case ENOSPC:
    case EDQUOT: return ERR_DISK_FULL;
    case EBUSY: return ERR_SHARING_VIOLATION;
    case ENAMETOOLONG: return ERR_FILENAME_TOO_LONG;
    case EFBIG:
    case EOVERFLOW: return ERR_FILE_TOO_LARGE;
    case EIO: return ERR_IO_DEVICE;
    case ENXIO:
    case ENODEV: return ERR_DEVICE_NOT_CONNECTED;
    case ETIMEDOUT: return ERR_TIMEOUT;
    case ECONNABORTED: return ERR_WSA_CONNABORTED;
    case ECONNRESET: return ERR_WSA_CONNRESET;
    case ECONNREFUSED: return ERR_WSA_CONNREFUSED;
    default: return ERR_SYSTEM_FLAG | std::uint32_t(error);
    }
}

QString SystemErrorText(int error)
{
    char buf[256];
    // The GNU strerror_r returns the text, which need not be in buf.
    const char *text = strerror_r(error, buf, sizeof buf);
    return QString::fromLocal8Bit(text);
}

}   // namespace StreamIO
