#include "tests/e2e/desktop_session.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support.h"

namespace desktop {

pid_t Start(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment,
            const std::string& errors) {
    const pid_t child = fork();
    if (child == 0) {
        for (const auto& [name, value] : environment)
            value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
        if (!std::freopen(errors.empty() ? "/dev/null" : errors.c_str(), "w", stderr) || !std::freopen("/dev/null", "w", stdout))
            _exit(126);
        std::vector<char*> arguments;
        for (const std::string& each : command)
            arguments.push_back(const_cast<char*>(each.c_str()));
        arguments.push_back(nullptr);
        execvp(arguments[0], arguments.data());
        _exit(127);
    }
    return child;
}

std::string Output(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

int WaitForExit(pid_t process, int milliseconds) {
    int status = 0;
    const bool ended = Eventually([&] { return waitpid(process, &status, WNOHANG) == process; }, milliseconds);
    if (!ended)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Eventually(const std::function<bool()>& done, int milliseconds) {
    // Each look may take a screenshot or run a program: every 20 ms is often enough.
    return testing_support::WaitUntil(done, milliseconds, std::chrono::milliseconds(20));
}

QImage Screenshot() {
    const std::string path = std::filesystem::temp_directory_path() / ("nomvara-screen-" + std::to_string(getpid()) + ".png");
    Output("scrot --overwrite " + path);
    QImage picture(QString::fromStdString(path));
    std::filesystem::remove(path);
    return picture.convertToFormat(QImage::Format_RGB32);
}

QRect Covered(const QImage& picture, QRect area, QRgb background) {
    QRect covered;
    area &= picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF))
                covered |= QRect(x, y, 1, 1);
    return covered;
}

int TextLines(const QImage& picture, QRect area) {
    int lines = 0;
    bool inLine = false;
    area &= picture.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool dark = false;
        for (int x = area.left(); x <= area.right() && !dark; ++x)
            dark = qGray(picture.pixel(x, y)) < 96;
        lines += dark && !inLine;
        inLine = dark;
    }
    return lines;
}

}  // namespace desktop
