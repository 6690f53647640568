#include "WithoutWriteAccess.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

namespace WithoutWriteAccess {

namespace {

// The account without rights that root hands the work to.
constexpr uid_t kNobody = 65534;

std::vector<std::string> filesIn(const std::string &folder) {
    std::vector<std::string> files;
    if (DIR *d = opendir(folder.c_str())) {
        while (dirent *e = readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                files.push_back(folder + "/" + name);
        }
        closedir(d);
    }
    return files;
}

void setModes(const std::string &folder, Scope scope, bool restricted) {
    for (const std::string &file : filesIn(folder))
        chmod(file.c_str(), restricted ? 0444 : 0644);
    mode_t folderMode = 0755;
    if (restricted)
        folderMode = scope == Scope::Folder ? 0555 : 0777;
    chmod(folder.c_str(), folderMode);
}

std::string inChild(uid_t user, const std::function<std::string()> &body) {
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child < 0)
        return "fork failed";
    if (child == 0) {
        close(fds[0]);
        std::string answer;
        if (setgid(user) != 0 || setuid(user) != 0)
            answer = "could not become an unprivileged user";
        else
            answer = body();
        for (size_t done = 0; done < answer.size();) {
            const ssize_t n = write(fds[1], answer.data() + done, answer.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string answer;
    char buf[4096];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
        answer.append(buf, size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        answer += "the child process died (status " + std::to_string(status) + ")";
    return answer;
}

} // namespace

std::string run(const std::string &folder, Scope scope, const std::function<std::string()> &body) {
    setModes(folder, scope, true);
    const std::string answer = geteuid() == 0 ? inChild(kNobody, body) : body();
    setModes(folder, scope, false);
    return answer;
}

} // namespace WithoutWriteAccess
