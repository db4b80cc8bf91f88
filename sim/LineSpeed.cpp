// Linux's termios2 interface (BOTHER) takes a speed as a number. Its header cannot be mixed with
// <termios.h>, so it lives alone in this file.
#include "sim/LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace sim {

bool setLineSpeed(int fd, int baud) {
    termios2 settings{};
    if (::ioctl(fd, TCGETS2, &settings) != 0)
        return false;
    settings.c_cflag &= ~tcflag_t(CBAUD);
    settings.c_cflag |= BOTHER;
    settings.c_ispeed = speed_t(baud);
    settings.c_ospeed = speed_t(baud);
    return ::ioctl(fd, TCSETS2, &settings) == 0;
}

int lineSpeed(int fd) {
    termios2 settings{};
    return ::ioctl(fd, TCGETS2, &settings) == 0 ? int(settings.c_ospeed) : -1;
}

} // namespace sim
