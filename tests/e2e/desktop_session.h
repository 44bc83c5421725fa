// The real program on the desktops people use, driven as a person would: a window manager or a
// Wayland compositor on a virtual X display, keys and clicks through xdotool, pictures through scrot.
#pragma once

#include <QImage>
#include <QRect>

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace desktop {

// Starts `command` with the environment changed by `environment` (an empty value unsets), its
// standard error into `errors` when given; the process id.
pid_t Start(const std::vector<std::string>& command, const std::map<std::string, std::string>& environment = {},
            const std::string& errors = "");
// Runs `command` to its end; its standard output.
std::string Output(const std::string& command);
// Waits up to `milliseconds` for the process to end: its exit status, or -1 when it is still there.
int WaitForExit(pid_t process, int milliseconds);
// The whole of a file, or nothing.
std::string ReadFile(const std::string& path);
// Looks every 20 ms, up to `milliseconds`, until `done` holds.
bool Eventually(const std::function<bool()>& done, int milliseconds = 20000);

// The virtual display as it is now.
QImage Screenshot();
// The smallest rectangle inside `area` holding every pixel that is not `background`.
QRect Covered(const QImage& picture, QRect area, QRgb background);
// How many lines of dark text run across `area`: bands of rows with dark pixels, apart.
int TextLines(const QImage& picture, QRect area);

}  // namespace desktop
