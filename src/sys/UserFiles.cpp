// SPDX-License-Identifier: MIT
#include "sys/UserFiles.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "shell/MyError.h"
#include "sys/Environment.h"

namespace {
std::string HomeFolder() {
    const char* home = EnvValue("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/' ? user->pw_dir : "";
}

// The base directory rules: only an absolute path counts. Without one and
// without a home, "" (never a folder made from "" and a name, which would be
// the root's), said once for every player file.
std::string BaseFolder(const char* variable, const char* underHome) {
    const char* value = EnvValue(variable);
    if (value != nullptr && value[0] == '/') return std::string(value) + "/korvalend3d";
    std::string home = HomeFolder();
    if (!home.empty()) return home + "/" + underHome + "/korvalend3d";
    static bool said = false;
    if (!said)
        error("No home folder (HOME is not set, nor XDG_DATA_HOME and XDG_CONFIG_HOME, and the password file "
              "names none): the settings, the high scores and the recordings are not kept\n");
    said = true;
    return "";
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
}  // namespace

std::string UserDataFolder() { return BaseFolder("XDG_DATA_HOME", ".local/share"); }

std::string UserConfigFolder() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat info;
    if (stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        errno = ENOTDIR;
        return false;
    }
    std::string parent = FolderOf(folder);
    if (parent != folder && !MakeFolders(parent)) return false;
    return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    bytes->clear();
    char chunk[65536];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int saved = errno;
            close(fd);
            errno = saved;
            return false;
        }
        if (n == 0) break;
        bytes->append(chunk, size_t(n));
    }
    close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
    std::string pattern = path + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    bool ok = fchmod(fd, 0644) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    int saved = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && std::rename(name.data(), path.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        unlink(name.data());
        errno = saved;
        return false;
    }
    // The rename itself lasts only once the folder is on the disk.
    int folder = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool MoveIfFree(const std::string& path, const std::string& link) {
    // A link never replaces a file.
    if (::link(path.c_str(), link.c_str()) != 0) return false;
    if (unlink(path.c_str()) == 0) return true;
    int saved = errno;
    unlink(link.c_str());
    errno = saved;
    return false;
}

std::string ClaimNewFile(const std::string& stem, const std::string& extension) {
    std::string pattern = stem + "XXXXXX" + extension;
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemps(name.data(), int(extension.size()));
    if (fd < 0) return "";
    close(fd);
    return name.data();
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool CanWriteIn(const std::string& folder) { return access(folder.c_str(), W_OK) == 0; }

FileLock::FileLock(const std::string& path, int waitMils, int lookMils) {
    if (path.empty()) return;
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    for (int waited = 0; flock(fd, LOCK_EX | LOCK_NB) != 0;) {
        if (errno == EWOULDBLOCK && waited < waitMils) {
            usleep(lookMils * 1000);
            waited += lookMils;
            continue;
        }
        if (errno == EINTR) continue;
        busy = errno == EWOULDBLOCK;
        close(fd);
        fd = -1;
        return;
    }
}

FileLock::~FileLock() {
    if (fd >= 0) close(fd);
}

std::string LoginName() {
    const char* login = getlogin();
    std::string name = login != nullptr ? login : "";
    if (name.empty()) {
        const passwd* user = getpwuid(geteuid());
        if (user != nullptr && user->pw_name != nullptr) name = user->pw_name;
    }
    return name;
}

std::string TodaysDate() {
    std::time_t now = std::time(nullptr);
    std::tm local;
    char text[16] = "1970-01-01";
    if (localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    std::vector<char> here(4096);
    if (getcwd(here.data(), here.size()) == nullptr) return path;
    return std::string(here.data()) + "/" + path;
}
