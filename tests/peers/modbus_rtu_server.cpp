// A third-party Modbus RTU server for the tests (modbus_rtu_server <device>): libmodbus as server 1
// at 9600 baud, register r holding r. Prints "READY" once open; runs until ended or the line goes.

#include <cerrno>
#include <cstdio>
#include <modbus.h>

int main(int argc, char *argv[]) {
    modbus_t *context = argc == 2 ? modbus_new_rtu(argv[1], 9600, 'N', 8, 1) : nullptr;
    if (!context || modbus_set_slave(context, 1) != 0 || modbus_connect(context) != 0) {
        std::fprintf(stderr, "usage: %s <device>: %s\n", argv[0], modbus_strerror(errno));
        return 2;
    }
    modbus_mapping_t *mapping = modbus_mapping_new(0, 0, 1024, 0);
    for (int r = 0; r < 1024; ++r)
        mapping->tab_registers[r] = static_cast<uint16_t>(r);
    std::puts("READY");
    std::fflush(stdout);
    uint8_t request[MODBUS_RTU_MAX_ADU_LENGTH];
    for (;;) { // a bad CRC or a request for another server: wait for the next one
        const int length = modbus_receive(context, request);
        if (length > 0)
            modbus_reply(context, request, length, mapping);
        else if (length < 0 && (errno == EIO || errno == EBADF))
            return 1; // the line is gone
    }
}
