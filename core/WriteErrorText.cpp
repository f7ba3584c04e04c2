// Chinese reasons for the system errors a save meets.
#include "core/WriteErrorText.h"

#include <cerrno>
#include <cstdio>

namespace pw {

std::string WriteErrorReason(int err) {
    switch (err) {
    case 0:
        return {};
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足。";
    case EACCES:
    case EPERM:
        return "没有写入该位置的权限。";
    case EROFS:
        return "磁盘是只读的。";
    case ENOENT:
    case ENOTDIR:
        return "文件夹不存在。";
    case ENAMETOOLONG:
        return "文件名太长。";
    case EISDIR:
        return "同名的文件夹已存在。";
    case EIO:
        return "磁盘读写出错。";
    case EFBIG: // a FAT memory stick's 4 GB, or a size limit of the account
        return "文件超过了允许的大小。";
    default:
        break;
    }
    char text[64];
    std::snprintf(text, sizeof text, "系统错误（代码%d）。", err);
    return text;
}

} // namespace pw
